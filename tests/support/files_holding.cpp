#include "tests/support/files_holding.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace lark::test {

std::vector<std::string> FilesHolding(const std::string& folder, const std::string& text) {
  std::vector<std::string> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
    if (!entry.is_regular_file(error)) continue;
    std::ifstream file(entry.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.find(text) != std::string::npos) found.push_back(entry.path().string());
  }
  return found;
}

}  // namespace lark::test
