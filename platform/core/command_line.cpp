#include "platform/core/command_line.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/core/file_routines.h"

namespace lark {
namespace {

// The parameters after the program name, read once.
const std::vector<std::string>& Parameters() {
  static const std::vector<std::string> parameters = [] {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::string> all;
    // NUL-terminated strings, one per argument (an empty one included).
    for (std::size_t start = 0; start < bytes.size();) {
      const std::size_t end = bytes.find('\0', start);
      all.push_back(bytes.substr(start, end - start));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    if (!all.empty()) all.erase(all.begin());
    return all;
  }();
  return parameters;
}

}  // namespace

int ParamCount() { return static_cast<int>(Parameters().size()); }

std::string ParamStr(int index) {
  if (index == 0) return ExecutablePath();
  if (index < 0 || index > ParamCount()) return {};
  return Parameters()[static_cast<std::size_t>(index - 1)];
}

}  // namespace lark
