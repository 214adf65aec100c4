#include "app/options.h"

#include <algorithm>

#include "platform/core/ini_file.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {
constexpr std::string_view kBookmarks = "Bookmarks";
constexpr std::string_view kDirectory = "Directory";

std::string Numbered(std::string_view word, int n) { return std::string(word) + IntToStr(n); }
}  // namespace

TOptions::TOptions(std::string file_name, bool keep_in_memory)
    : file_name_(std::move(file_name)),
      keep_in_memory_(keep_in_memory),
      file_(std::make_unique<TMemIniFile>(file_name_)) {}

TOptions::~TOptions() = default;

void TOptions::UpdateFile() {
  if (keep_in_memory_) return;
  file_->UpdateSections({std::string(kBookmarks), std::string(kDirectory)});
}

void TOptions::InsertBookmark(const std::string& name, const std::string& link) {
  int count = 0;
  for (int n = 0; n < kBookmarksCounted; ++n) count += file_->ValueExists(kBookmarks, Numbered("Name", n)) ? 1 : 0;
  for (int i = count; i >= 1; --i) {
    file_->WriteString(kBookmarks, Numbered("Name", i), file_->ReadString(kBookmarks, Numbered("Name", i - 1), ""));
    file_->WriteString(kBookmarks, Numbered("Link", i), file_->ReadString(kBookmarks, Numbered("Link", i - 1), ""));
  }
  file_->WriteString(kBookmarks, "Name0", name);
  file_->WriteString(kBookmarks, "Link0", link);
}

void TOptions::AddBookmark(const std::string& name, const std::string& link) {
  InsertBookmark(name, link);
  UpdateFile();
}

std::string TOptions::GetBookmarkName(int index) const {
  return file_->ReadString(kBookmarks, Numbered("Name", index), "");
}

std::string TOptions::GetBookmarkLink(int index) const {
  return file_->ReadString(kBookmarks, Numbered("Link", index), "");
}

int TOptions::BookmarkCount() const {
  int count = 0;
  for (int n = 0; n <= kMaxBookmarkIndex; ++n) count += file_->ValueExists(kBookmarks, Numbered("Name", n)) ? 1 : 0;
  return count;
}

void TOptions::SaveBookmarks(const std::vector<std::string>& names, const std::vector<std::string>& links) {
  file_->EraseSection(kBookmarks);
  // Inserting from the last item keeps the list order; one write at the end
  // leaves the same file as a write per insertion would.
  const int last = static_cast<int>(std::min(names.size(), links.size())) - 1;
  for (int i = last; i >= 0; --i) InsertBookmark(names[i], links[i]);
  UpdateFile();
}

void TOptions::ReadDirectory(int index, std::string& caption, std::string& html_file) const {
  caption = file_->ReadString(kDirectory, Numbered("Caption", index), "");
  html_file = file_->ReadString(kDirectory, Numbered("HTMLFile", index), "");
}

void TOptions::WriteDirectory(int index, const std::string& caption, const std::string& html_file) {
  file_->WriteString(kDirectory, Numbered("Caption", index), caption);
  file_->WriteString(kDirectory, Numbered("HTMLFile", index), html_file);
}

void TOptions::DeleteDirectory(int index) {
  file_->DeleteKey(kDirectory, Numbered("Caption", index));
  file_->DeleteKey(kDirectory, Numbered("HTMLFile", index));
}

}  // namespace lark
