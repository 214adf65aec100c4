#pragma once

#include <string>

namespace lark::test {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  [[nodiscard]] const std::string& Path() const { return path_; }
  [[nodiscard]] std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes a file in the directory and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// The whole file; throws std::runtime_error when it cannot be read.
[[nodiscard]] std::string ReadFile(const std::string& path);
// Creates or replaces the file; throws std::runtime_error when it cannot.
void WriteFile(const std::string& path, const std::string& bytes);
// What a shell command writes to its standard output ("" when it cannot run).
[[nodiscard]] std::string CommandOutput(const std::string& command);
// True when the program is on PATH.
[[nodiscard]] bool HaveTool(const std::string& program);

}  // namespace lark::test
