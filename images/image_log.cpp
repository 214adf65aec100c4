#include "images/image_log.h"

#include <cstdio>

namespace lark {

namespace {
ImageLogSink gSink = nullptr;
}  // namespace

void SetImageLogSink(ImageLogSink sink) { gSink = sink; }

void LogImageRefused(const std::string& message) {
  // Messages of the PNG reader start with a heading and a blank line: the log
  // keeps one line per image.
  std::string line = "larkspan: image not shown: " + message;
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  if (gSink)
    gSink(line);
  else
    std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace lark
