#pragma once

// Real directory trees in a temporary directory for the search tests.

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/file_scan.h"
#include "tests/support/test_files.h"

namespace lark::test {

class ScanTree {
 public:
  ScanTree() : root_(dir_.Path() + "/") {
    // Readable by everyone, for the tests that drop privileges.
    chmod(root_.c_str(), 0755);
  }

  const std::string& Root() const { return root_; }
  std::string Path(const std::string& relative) const { return root_ + relative; }

  // Writes a file (making its folders) and returns its path.
  std::string Write(const std::string& relative, const std::string& bytes) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFile(path, bytes);
    return path;
  }
  void Mkdir(const std::string& relative) const { std::filesystem::create_directories(Path(relative)); }

  // Sets a file's modification time.
  void Touch(const std::string& relative, std::time_t when) const {
    const timeval times[2] = {{when, 0}, {when, 0}};
    utimes(Path(relative).c_str(), times);
  }

 private:
  TempDir dir_;
  std::string root_;
};

// The paths of the hits, in Results order, relative to root.
inline std::vector<std::string> HitPaths(const TFileScan& scan, const std::string& root) {
  std::vector<std::string> paths;
  for (int i = 0; i < scan.Results.Count(); ++i) {
    if (scan.Results.Objects(i) == nullptr) continue;
    std::string line = scan.Results.At(i);
    if (line.rfind(root, 0) == 0) line = line.substr(root.size());
    paths.push_back(line);
  }
  return paths;
}

// A scan of root with the defaults the tests start from.
inline void PrepareScan(TFileScan& scan, const std::string& root, const std::string& keyword = "") {
  scan.Directory = root;
  scan.SearchStrings.Clear();
  if (!keyword.empty()) scan.SearchStrings.Add(keyword);
}

// Local noon of the day so many days before today.
inline std::time_t NoonDaysAgo(int days) {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  tm.tm_mday -= days;
  tm.tm_hour = 12;
  tm.tm_min = 0;
  tm.tm_sec = 0;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

}  // namespace lark::test
