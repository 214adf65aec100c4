#pragma once

#include <string>

namespace lark {

// Where a refused or broken image is reported: the document shows
// ErrorBitmap, and the program's log (standard error) says why, one line per
// image.
void LogImageRefused(const std::string& message);

}  // namespace lark
