#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

class TStrings;
class IniLines;

// Settings files in INI form: "[Section]" headers and "key=value" lines.
// Section and key names compare without regard to ASCII case; blanks around
// names and values do not count; lines starting with ";" are comments. The
// first section of a name and the first key of a name in it are the ones read
// and written. Writing keeps every other line, comments and unknown lines
// included, in its order; a new key goes after the last key of its section, a
// new section at the end of the file. The file's own line ends (CR LF or LF)
// are kept; a new file gets LF. A line break written inside a name or value
// becomes a blank, so nothing written can add lines of its own.
//
// The two classes differ as their originals do: TIniFile goes to the file on
// every call (a write rewrites it at once) and, like the Windows profile
// routines, strips one pair of matching surrounding quotes ("..." or '...')
// from a value it reads; TMemIniFile reads the file once, works in memory,
// writes only in UpdateFile and returns values exactly as stored, so what it
// writes it reads back unchanged.
//
// Every write replaces the whole file atomically (AtomicWriteFile: a kill or
// a full disk leaves the old file or the new one) under the file's lock
// (FileLock), and TIniFile reads, changes and writes under that lock, so two
// processes changing different keys both keep theirs.
class TCustomIniFile {
 public:
  explicit TCustomIniFile(std::string file_name) : file_name_(std::move(file_name)) {}
  virtual ~TCustomIniFile() = default;
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;

  [[nodiscard]] const std::string& FileName() const { return file_name_; }

  // The default when the key is missing; a key with an empty value reads "".
  [[nodiscard]] std::string ReadString(std::string_view section, std::string_view ident,
                                       std::string_view fallback) const;
  // A stored value as this class reads it.
  [[nodiscard]] std::string AsRead(const std::string& stored) const;
  virtual void WriteString(std::string_view section, std::string_view ident, std::string_view value) = 0;
  // Decimal, or hexadecimal after "$" or "0x"; the default for anything else.
  [[nodiscard]] int ReadInteger(std::string_view section, std::string_view ident, int fallback) const;
  void WriteInteger(std::string_view section, std::string_view ident, int value);
  // An integer other than 0 is true; written as "1" or "0".
  [[nodiscard]] bool ReadBool(std::string_view section, std::string_view ident, bool fallback) const;
  void WriteBool(std::string_view section, std::string_view ident, bool value);

  // The key names of a section, its "key=value" lines, the section names;
  // each replaces the list's contents.
  void ReadSection(std::string_view section, TStrings& keys) const;
  void ReadSectionValues(std::string_view section, TStrings& lines) const;
  void ReadSections(TStrings& sections) const;
  [[nodiscard]] bool SectionExists(std::string_view section) const;
  [[nodiscard]] bool ValueExists(std::string_view section, std::string_view ident) const;

  virtual void EraseSection(std::string_view section) = 0;
  virtual void DeleteKey(std::string_view section, std::string_view ident) = 0;
  // Writes pending changes to the file; raises the file-stream exceptions
  // (EFCreateError) when it cannot.
  virtual void UpdateFile() = 0;

 protected:
  enum class Quotes { Keep, Strip };
  // The lines to read from: the file now, or the copy in memory.
  [[nodiscard]] virtual std::shared_ptr<const IniLines> Current() const = 0;
  [[nodiscard]] virtual Quotes ValueQuotes() const = 0;
  // A value of lines as this class reads it.
  [[nodiscard]] std::string Stored(const IniLines& lines, std::string_view section, std::string_view ident,
                                   std::string_view fallback) const;

 private:
  std::string file_name_;
};

class TIniFile : public TCustomIniFile {
 public:
  explicit TIniFile(std::string file_name) : TCustomIniFile(std::move(file_name)) {}

  void WriteString(std::string_view section, std::string_view ident, std::string_view value) override;
  void EraseSection(std::string_view section) override;
  void DeleteKey(std::string_view section, std::string_view ident) override;
  void UpdateFile() override {}  // every change is on disk already

 protected:
  std::shared_ptr<const IniLines> Current() const override;
  Quotes ValueQuotes() const override { return Quotes::Strip; }

 private:
  // Reads the file, applies change and writes the file back when change
  // reports that it changed something.
  template <typename Change>
  void Rewrite(Change change);
};

class TMemIniFile : public TCustomIniFile {
 public:
  // A missing or unreadable file gives an empty settings file.
  explicit TMemIniFile(std::string file_name);
  ~TMemIniFile() override;

  void WriteString(std::string_view section, std::string_view ident, std::string_view value) override;
  void EraseSection(std::string_view section) override;
  void DeleteKey(std::string_view section, std::string_view ident) override;
  void UpdateFile() override;
  // Writes only the named sections, into the file as it is on disk now and
  // under its lock: the other sections stay as other writers left them, where
  // UpdateFile would put back this object's older copy of them. Keys missing
  // here are removed there; a section missing here is removed whole.
  void UpdateSections(const std::vector<std::string>& sections);

 protected:
  std::shared_ptr<const IniLines> Current() const override { return lines_; }
  Quotes ValueQuotes() const override { return Quotes::Keep; }

 private:
  std::shared_ptr<IniLines> lines_;
};

}  // namespace lark
