#pragma once

#include <string>

namespace lark {

// Overwrites every byte s holds, in a way the compiler keeps, and empties it:
// for secrets that must not linger in freed memory.
void OverwriteAndClear(std::string& s);

}  // namespace lark
