#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace lark {

// Language files hold counts that a damaged or hostile file can make huge;
// past these the rest is ignored. The program itself uses fewer than 200
// texts.
inline constexpr int kMaxLanguages = 64;
inline constexpr int kMaxLanguageTexts = 4096;

// One text of the language file: the language (its section), the key and the
// text.
struct TLngItem {
  std::string Language;
  std::string Key;
  std::string Text;
};

// A language of the file's "Languages" section with its 1-based number.
struct TLanguageEntry {
  std::string Name;
  int Number = 0;
};

// The replaceable texts of every form, read from the optional language file
// (INI form, system code page text, never written). Forms ask for a text by
// its id; a text the file lacks leaves the form's own text in place.
class TLanguage {
 public:
  TLanguage() = default;

  [[nodiscard]] bool Active() const { return active_; }
  // Switching on loads the texts; switching off only forgets that they are.
  void SetActive(bool active);
  [[nodiscard]] const std::string& FileName() const { return file_name_; }
  // A new name makes the texts stale until they are loaded again.
  void SetFileName(const std::string& name);

  void FillLanguages();
  // Selects the language numbered index; a number no language has changes
  // nothing.
  void SetLanguage(int index);
  // Reads every text of every language: the menu captions "l1".."lN" and the
  // ids 1..M of each language, an id without a line as an empty text.
  void LoadTexts();

  // Exact, case-sensitive names; an entry with an empty text counts as found.
  bool Lookup(const std::string& language, const std::string& key, std::string& text) const;
  bool GetText(const std::string& key, std::string& text) const;

  [[nodiscard]] const std::string& Language() const { return language_; }
  [[nodiscard]] int LanguageIndex() const { return language_index_; }
  [[nodiscard]] const std::vector<TLanguageEntry>& Languages() const { return languages_; }
  [[nodiscard]] const std::vector<TLngItem>& Items() const { return items_; }

 private:
  void AddItem(TLngItem item);

  bool active_ = false;
  std::string file_name_;
  std::vector<TLngItem> items_;
  // Language + '\0' + key -> the first item of that pair, so that a lookup
  // does not scan every text of every language.
  std::unordered_map<std::string, std::size_t> first_item_;
  std::string language_;
  int language_index_ = 0;
  std::vector<TLanguageEntry> languages_;
};

}  // namespace lark
