#pragma once

#include <string>

namespace lark {

// Where a refused or broken image is reported: the document shows
// ErrorBitmap, and the program's log (standard error) says why, one line per
// image.
void LogImageRefused(const std::string& message);

// Where the lines go instead (null: standard error again). Fuzz targets,
// which refuse most of what they read, keep the log quiet this way.
using ImageLogSink = void (*)(const std::string& line);
void SetImageLogSink(ImageLogSink sink);

}  // namespace lark
