#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lark::test {

// A fresh directory under /tmp, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  [[nodiscard]] const std::string& Path() const { return Path_; }
  [[nodiscard]] std::string File(const std::string& name) const { return Path_ + "/" + name; }

 private:
  std::string Path_;
};

// Runs a shell command; true when it exits with 0.
bool Run(const std::string& command);
[[nodiscard]] std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// The names in `dir` ending in `suffix`, sorted.
[[nodiscard]] std::vector<std::string> ListFiles(const std::string& dir, const std::string& suffix);

}  // namespace lark::test
