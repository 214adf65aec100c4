#include "platform/core/ini_file.h"

#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/core/atomic_file.h"
#include "platform/core/exception.h"
#include "platform/core/file_stream.h"
#include "platform/core/string_list.h"
#include "platform/core/string_routines.h"

namespace lark {

// The lines of one settings file, each parsed once, so that lookups compare
// names and rewriting gives back every line as it was.
class IniLines {
 public:
  static std::shared_ptr<IniLines> Load(const std::string& file_name);
  void Save(const std::string& file_name) const;

  // The value as stored (blanks around it removed), or nullptr.
  [[nodiscard]] const std::string* Value(std::string_view section, std::string_view ident) const;
  void SetValue(std::string_view section, std::string_view ident, std::string_view value);
  // Return whether anything changed.
  bool EraseSection(std::string_view section);
  bool DeleteKey(std::string_view section, std::string_view ident);
  [[nodiscard]] std::vector<std::string> Keys(std::string_view section) const;
  // Each key line of the section with the value stored under the first key
  // of its name, in one pass however many keys the section holds.
  [[nodiscard]] std::vector<std::pair<std::string, std::string>> KeyValues(std::string_view section) const;
  [[nodiscard]] std::vector<std::string> Sections() const;
  [[nodiscard]] bool HasSection(std::string_view section) const { return FindSection(section) >= 0; }

 private:
  enum class Kind { Other, Section, Key };
  struct Line {
    std::string text;
    Kind kind = Kind::Other;
    std::string name;   // of the section or key
    std::string value;  // of a key
  };

  static Line Parse(std::string text);
  [[nodiscard]] int FindSection(std::string_view section) const;
  // Index of the next section header after header, or the line count.
  [[nodiscard]] int SectionEnd(int header) const;
  [[nodiscard]] int FindKey(int header, std::string_view ident) const;

  std::vector<Line> lines_;
  std::string line_break_ = "\n";
  std::string byte_order_mark_;  // kept for the rewrite
};

// Editors may put one before the first section header, which would then not
// read as a header.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::shared_ptr<IniLines> IniLines::Load(const std::string& file_name) {
  auto ini = std::make_shared<IniLines>();
  // No file (or none readable) reads as an empty one.
  std::string bytes = TFileStream::ReadIfPresent(file_name);
  if (bytes.compare(0, kUtf8ByteOrderMark.size(), kUtf8ByteOrderMark) == 0) {
    ini->byte_order_mark_ = kUtf8ByteOrderMark;
    bytes.erase(0, kUtf8ByteOrderMark.size());
  }
  if (bytes.find("\r\n") != std::string::npos) ini->line_break_ = "\r\n";
  TStringList lines;
  lines.SetText(bytes);
  for (int i = 0; i < lines.Count(); ++i) ini->lines_.push_back(Parse(lines.At(i)));
  return ini;
}

void IniLines::Save(const std::string& file_name) const {
  std::string bytes = byte_order_mark_;
  for (const Line& line : lines_) bytes.append(line.text).append(line_break_);
  AtomicWriteFile(file_name, bytes);
}

IniLines::Line IniLines::Parse(std::string text) {
  Line line;
  const std::string trimmed = Trim(text);
  line.text = std::move(text);
  if (trimmed.empty() || trimmed[0] == ';') return line;
  if (trimmed[0] == '[') {
    line.kind = Kind::Section;
    line.name = Trim(trimmed.substr(1, trimmed.find(']') - 1));
    return line;
  }
  const std::size_t eq = trimmed.find('=');
  if (eq == std::string::npos) return line;
  line.kind = Kind::Key;
  line.name = Trim(trimmed.substr(0, eq));
  line.value = Trim(trimmed.substr(eq + 1));
  return line;
}

int IniLines::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::Section && SameText(lines_[i].name, section)) return static_cast<int>(i);
  }
  return -1;
}

int IniLines::SectionEnd(int header) const {
  int i = header + 1;
  while (i < static_cast<int>(lines_.size()) && lines_[i].kind != Kind::Section) ++i;
  return i;
}

int IniLines::FindKey(int header, std::string_view ident) const {
  if (header < 0) return -1;
  const int end = SectionEnd(header);
  for (int i = header + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Key && SameText(lines_[i].name, ident)) return i;
  }
  return -1;
}

const std::string* IniLines::Value(std::string_view section, std::string_view ident) const {
  const int key = FindKey(FindSection(section), ident);
  return key < 0 ? nullptr : &lines_[key].value;
}

namespace {
// A line break inside a name or value would end its line and let the rest be
// read as lines of its own (a page title saved as a bookmark could then add
// sections or keys), so each becomes a blank.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}
}  // namespace

void IniLines::SetValue(std::string_view section_text, std::string_view ident_text, std::string_view value_text) {
  const std::string section = OneLine(section_text);
  const std::string ident = OneLine(ident_text);
  const std::string value = OneLine(value_text);
  int header = FindSection(section);
  if (header < 0) {
    lines_.push_back(Parse("[" + section + "]"));
    header = static_cast<int>(lines_.size()) - 1;
  }
  const int key = FindKey(header, ident);
  if (key >= 0) {
    // The key keeps the spelling it has in the file.
    lines_[key] = Parse(lines_[key].name + "=" + value);
    return;
  }
  int after = header;
  for (int i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (lines_[i].kind == Kind::Key) after = i;
  }
  lines_.insert(lines_.begin() + after + 1, Parse(ident + "=" + value));
}

bool IniLines::EraseSection(std::string_view section) {
  bool erased = false;
  for (int header = FindSection(section); header >= 0; header = FindSection(section)) {
    lines_.erase(lines_.begin() + header, lines_.begin() + SectionEnd(header));
    erased = true;
  }
  return erased;
}

bool IniLines::DeleteKey(std::string_view section, std::string_view ident) {
  const int key = FindKey(FindSection(section), ident);
  if (key >= 0) lines_.erase(lines_.begin() + key);
  return key >= 0;
}

std::vector<std::string> IniLines::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const int header = FindSection(section);
  if (header < 0) return keys;
  for (int i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (lines_[i].kind == Kind::Key) keys.push_back(lines_[i].name);
  }
  return keys;
}

std::vector<std::pair<std::string, std::string>> IniLines::KeyValues(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> pairs;
  const int header = FindSection(section);
  if (header < 0) return pairs;
  std::unordered_map<std::string, const std::string*> first;
  for (int i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (lines_[i].kind != Kind::Key) continue;
    const auto entry = first.emplace(LowerCase(lines_[i].name), &lines_[i].value).first;
    pairs.emplace_back(lines_[i].name, *entry->second);
  }
  return pairs;
}

std::vector<std::string> IniLines::Sections() const {
  std::vector<std::string> sections;
  for (const Line& line : lines_) {
    if (line.kind == Kind::Section) sections.push_back(line.name);
  }
  return sections;
}

// --- TCustomIniFile ---------------------------------------------------------

namespace {
void Fill(TStrings& list, const std::vector<std::string>& strings) {
  list.Clear();
  for (const std::string& s : strings) list.Add(s);
}
}  // namespace

std::string TCustomIniFile::Stored(const IniLines& lines, std::string_view section, std::string_view ident,
                                   std::string_view fallback) const {
  const std::string* value = lines.Value(section, ident);
  if (value == nullptr) return std::string(fallback);
  return AsRead(*value);
}

std::string TCustomIniFile::AsRead(const std::string& v) const {
  if (ValueQuotes() == Quotes::Strip && v.size() >= 2 && v.front() == v.back() && (v[0] == '"' || v[0] == '\'')) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

std::string TCustomIniFile::ReadString(std::string_view section, std::string_view ident,
                                       std::string_view fallback) const {
  return Stored(*Current(), section, ident, fallback);
}

int TCustomIniFile::ReadInteger(std::string_view section, std::string_view ident, int fallback) const {
  return StrToIntDef(ReadString(section, ident, ""), fallback);
}

void TCustomIniFile::WriteInteger(std::string_view section, std::string_view ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(std::string_view section, std::string_view ident, bool fallback) const {
  return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(std::string_view section, std::string_view ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

void TCustomIniFile::ReadSection(std::string_view section, TStrings& keys) const {
  Fill(keys, Current()->Keys(section));
}

void TCustomIniFile::ReadSectionValues(std::string_view section, TStrings& lines) const {
  const auto current = Current();
  std::vector<std::string> pairs;
  for (const auto& [key, value] : current->KeyValues(section)) pairs.push_back(key + "=" + AsRead(value));
  Fill(lines, pairs);
}

void TCustomIniFile::ReadSections(TStrings& sections) const { Fill(sections, Current()->Sections()); }

bool TCustomIniFile::SectionExists(std::string_view section) const { return Current()->HasSection(section); }

bool TCustomIniFile::ValueExists(std::string_view section, std::string_view ident) const {
  return Current()->Value(section, ident) != nullptr;
}

// --- TIniFile ---------------------------------------------------------------

std::shared_ptr<const IniLines> TIniFile::Current() const { return IniLines::Load(FileName()); }

template <typename Change>
void TIniFile::Rewrite(Change change) {
  // Another process's rewrite between this read and write would be lost.
  const FileLock lock(FileName());
  const auto lines = IniLines::Load(FileName());
  if (change(*lines)) lines->Save(FileName());
}

void TIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
  Rewrite([&](IniLines& lines) {
    lines.SetValue(section, ident, value);
    return true;
  });
}

void TIniFile::EraseSection(std::string_view section) {
  Rewrite([&](IniLines& lines) { return lines.EraseSection(section); });
}

void TIniFile::DeleteKey(std::string_view section, std::string_view ident) {
  Rewrite([&](IniLines& lines) { return lines.DeleteKey(section, ident); });
}

// --- TMemIniFile ------------------------------------------------------------

TMemIniFile::TMemIniFile(std::string file_name)
    : TCustomIniFile(std::move(file_name)), lines_(IniLines::Load(FileName())) {}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::WriteString(std::string_view section, std::string_view ident, std::string_view value) {
  lines_->SetValue(section, ident, value);
}

void TMemIniFile::EraseSection(std::string_view section) { lines_->EraseSection(section); }

void TMemIniFile::DeleteKey(std::string_view section, std::string_view ident) { lines_->DeleteKey(section, ident); }

void TMemIniFile::UpdateFile() {
  const FileLock lock(FileName());
  lines_->Save(FileName());
}

void TMemIniFile::UpdateSections(const std::vector<std::string>& sections) {
  const FileLock lock(FileName());
  const auto disk = IniLines::Load(FileName());
  for (const std::string& section : sections) {
    if (!lines_->HasSection(section)) {
      disk->EraseSection(section);
      continue;
    }
    // Key by key, so that the section keeps its place and its comments.
    for (const std::string& key : disk->Keys(section)) {
      if (lines_->Value(section, key) == nullptr) disk->DeleteKey(section, key);
    }
    for (const std::string& key : lines_->Keys(section)) disk->SetValue(section, key, *lines_->Value(section, key));
  }
  disk->Save(FileName());
}

}  // namespace lark
