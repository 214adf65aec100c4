#pragma once

#include <string>

namespace lark {

// The program's command line, read from the system, so that it is there
// without the program's entry point passing it on. ParamStr(0) is the
// executable's full path; ParamStr(1)..ParamStr(ParamCount()) are the
// parameters as given; any other index gives "".
[[nodiscard]] int ParamCount();
[[nodiscard]] std::string ParamStr(int index);

}  // namespace lark
