#include "app/language.h"

#include <algorithm>

#include "platform/core/file_routines.h"
#include "platform/core/ini_file.h"
#include "platform/core/string_list.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

constexpr std::string_view kLanguagesSection = "Languages";

int BoundedCount(const TCustomIniFile& file, std::string_view section, int bound) {
  return std::clamp(file.ReadInteger(section, "n", 0), 0, bound);
}

std::vector<std::string> LanguageNames(const TCustomIniFile& file) {
  std::vector<std::string> names;
  const int count = BoundedCount(file, kLanguagesSection, kMaxLanguages);
  for (int i = 1; i <= count; ++i) names.push_back(file.ReadString(kLanguagesSection, IntToStr(i), ""));
  return names;
}

// The keys of one section as stored (the first of a name wins, names
// without regard to ASCII case), read in one pass over the section.
std::unordered_map<std::string, std::string> SectionValues(const TCustomIniFile& file, std::string_view section) {
  TStringList lines;
  file.ReadSectionValues(section, lines);
  std::unordered_map<std::string, std::string> values;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::string& line = lines.At(i);
    const std::size_t eq = line.find('=');
    values.emplace(LowerCase(line.substr(0, eq)), eq == std::string::npos ? "" : line.substr(eq + 1));
  }
  return values;
}

std::string ValueOf(const std::unordered_map<std::string, std::string>& values, const std::string& key) {
  const auto found = values.find(LowerCase(key));
  return found == values.end() ? std::string() : found->second;
}

std::string ItemKey(const std::string& language, const std::string& key) { return language + '\0' + key; }

}  // namespace

void TLanguage::SetActive(bool active) {
  if (active && !active_) {
    LoadTexts();
  } else {
    active_ = active;
  }
}

void TLanguage::SetFileName(const std::string& name) {
  if (name == file_name_) return;
  file_name_ = name;
  active_ = false;
}

void TLanguage::FillLanguages() {
  const TMemIniFile file(file_name_);
  languages_.clear();
  int number = 0;
  for (std::string& name : LanguageNames(file)) languages_.push_back({std::move(name), ++number});
}

void TLanguage::SetLanguage(int index) {
  if (index == language_index_) return;
  for (const TLanguageEntry& entry : languages_) {
    if (entry.Number == index) {
      language_ = entry.Name;
      language_index_ = index;
      return;
    }
  }
}

void TLanguage::LoadTexts() {
  if (file_name_.empty() || !FileExists(file_name_)) return;
  items_.clear();
  first_item_.clear();
  const TMemIniFile file(file_name_);
  const std::vector<std::string> names = LanguageNames(file);
  const int language_count = static_cast<int>(names.size());
  std::vector<std::unordered_map<std::string, std::string>> sections;
  for (const std::string& name : names) sections.push_back(SectionValues(file, name));
  for (int l = 0; l < language_count; ++l) {
    for (int k = 1; k <= language_count; ++k) {
      const std::string key = "l" + IntToStr(k);
      AddItem({names[l], key, ValueOf(sections[l], key)});
    }
  }
  for (int l = 0; l < language_count; ++l) {
    const int text_count = std::clamp(StrToIntDef(ValueOf(sections[l], "n"), 0), 0, kMaxLanguageTexts);
    for (int k = 1; k <= text_count; ++k) {
      const std::string key = IntToStr(k);
      AddItem({names[l], key, ValueOf(sections[l], key)});
    }
  }
  active_ = true;
}

void TLanguage::AddItem(TLngItem item) {
  first_item_.emplace(ItemKey(item.Language, item.Key), items_.size());
  items_.push_back(std::move(item));
}

bool TLanguage::Lookup(const std::string& language, const std::string& key, std::string& text) const {
  const auto found = first_item_.find(ItemKey(language, key));
  if (found == first_item_.end()) return false;
  text = items_[found->second].Text;
  return true;
}

bool TLanguage::GetText(const std::string& key, std::string& text) const {
  text.clear();
  return Lookup(language_, key, text);
}

}  // namespace lark
