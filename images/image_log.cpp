#include "images/image_log.h"

#include <cstdio>

namespace lark {

void LogImageRefused(const std::string& message) {
  // Messages of the PNG reader start with a heading and a blank line: the log
  // keeps one line per image.
  std::string line = message;
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  std::fprintf(stderr, "larkspan: image not shown: %s\n", line.c_str());
}

}  // namespace lark
