#pragma once

#include <memory>
#include <string>
#include <vector>

namespace lark {

class TMemIniFile;

// Bookmarks are entries 0 (newest) to kMaxBookmarkIndex; adding one moves
// the first kBookmarksCounted entries up by one, so the oldest of 31 falls off.
inline constexpr int kBookmarksCounted = 30;
inline constexpr int kMaxBookmarkIndex = 30;
inline constexpr int kDirectoryButtons = 10;

// The user's bookmarks and directory buttons, kept in the "Bookmarks" and
// "Directory" sections of the settings file, which other writers share: the
// main window writes its own sections at exit, other windows of the program
// write theirs. So the file is read once, and a write puts only these two
// sections into the file as it is on disk then, under its lock.
class TOptions {
 public:
  // With keep_in_memory (a read-only installation) changes are kept for the
  // session and the file is never written.
  explicit TOptions(std::string file_name, bool keep_in_memory = false);
  ~TOptions();
  TOptions(const TOptions&) = delete;
  TOptions& operator=(const TOptions&) = delete;

  [[nodiscard]] const std::string& FileName() const { return file_name_; }

  // Raises EFCreateError when the file cannot be written.
  void UpdateFile();

  // Inserts the bookmark as entry 0 and writes the file.
  void AddBookmark(const std::string& name, const std::string& link);
  [[nodiscard]] std::string GetBookmarkName(int index) const;
  [[nodiscard]] std::string GetBookmarkLink(int index) const;
  // The entries 0..30 that exist; a gap is not closed.
  [[nodiscard]] int BookmarkCount() const;
  // Replaces every bookmark by the lists (item 0 becomes entry 0; past 31
  // items the rest is dropped) and writes the file.
  void SaveBookmarks(const std::vector<std::string>& names, const std::vector<std::string>& links);

  // Directory buttons 0..9; the caller writes the file with UpdateFile.
  void ReadDirectory(int index, std::string& caption, std::string& html_file) const;
  void WriteDirectory(int index, const std::string& caption, const std::string& html_file);
  void DeleteDirectory(int index);

 private:
  void InsertBookmark(const std::string& name, const std::string& link);

  std::string file_name_;
  bool keep_in_memory_;
  std::unique_ptr<TMemIniFile> file_;
};

}  // namespace lark
