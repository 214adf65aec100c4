#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/chunked_sequence.h"
#include "platform/core/object.h"

namespace lark {

class TStream;

// An ordered list of strings, each with an object pointer beside it. TStrings
// is the abstract interface (window controls can back it with their items);
// TStringList keeps the strings itself. Indices are 0-based; a bad index raises
// EStringListError "List index out of bounds (<index>)".
//
// Text is the strings joined, each followed by CR LF, as the class library
// writes them (a POST body of a string list is sent line by line with CR LF,
// and its length must equal that of Text). Setting Text, or loading, splits at
// CR LF, LF or a lone CR; a line break at the very end adds no empty line.
//
// Name=value lines: the name is the text before the first "=", the value the
// text after it. A line without "=" has an empty name and an empty value and is
// never found by name. Names compare like the list's strings (CompareStrings).
class TStrings {
 public:
  TStrings() = default;
  virtual ~TStrings() = default;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;

  [[nodiscard]] virtual int Count() const = 0;
  [[nodiscard]] virtual std::string Get(int index) const = 0;
  virtual void Put(int index, const std::string& s);
  [[nodiscard]] virtual TObject* GetObject(int index) const = 0;
  virtual void PutObject(int index, TObject* object) = 0;
  virtual void Insert(int index, const std::string& s) = 0;
  virtual void InsertObject(int index, const std::string& s, TObject* object);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // Return the index where the string went.
  virtual int Add(const std::string& s);
  virtual int AddObject(const std::string& s, TObject* object);
  // -1 when absent.
  [[nodiscard]] virtual int IndexOf(std::string_view s) const;
  // How two strings (and two names) compare: without regard to ASCII case
  // unless a list says otherwise.
  [[nodiscard]] virtual int CompareStrings(std::string_view a, std::string_view b) const;

  [[nodiscard]] std::string Strings(int index) const { return Get(index); }
  [[nodiscard]] TObject* Objects(int index) const { return GetObject(index); }
  [[nodiscard]] bool Empty() const { return Count() == 0; }
  // The first index holding object, or -1.
  [[nodiscard]] int IndexOfObject(const TObject* object) const;

  [[nodiscard]] std::string Names(int index) const;
  [[nodiscard]] std::string ValueFromIndex(int index) const;
  [[nodiscard]] int IndexOfName(std::string_view name) const;
  [[nodiscard]] std::string Values(std::string_view name) const;
  // An empty value deletes the first line of that name; otherwise the first
  // line of that name is replaced, or name=value is added.
  void SetValue(std::string_view name, std::string_view value);

  [[nodiscard]] std::string Text() const;
  // Replaces the strings by the lines of text; lists that stand for one
  // text (a memo's lines) take it whole.
  virtual void SetText(std::string_view text);

  // Loading replaces the strings by the lines of the stream from its
  // position to its end, or of the whole file (EFOpenError when missing).
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  void LoadFromFile(const std::string& file_name);
  void SaveToFile(const std::string& file_name) const;

  // Strings and object pointers of source, after clearing (Assign) or after
  // the list's own strings (AddStrings).
  void Assign(const TStrings& source);
  void AddStrings(const TStrings& source);
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// The class library's string list. Sorted, it keeps its strings in order of
// CompareStrings, finds them by binary search and adds each at its place;
// Duplicates says what adding an equal string does (dupIgnore: nothing, the
// existing index is returned and the object passed is not stored; dupAccept:
// it goes before the equal ones; dupError: EStringListError). Insert and Put
// are refused on a sorted list ("Operation not allowed on sorted list").
//
// The strings live in a ChunkedSequence, so adding to a sorted list, deleting
// and reaching an index cost O(log n): a list that takes n strings in any
// order is built in O(n log n).
//
// Objects are back references unless OwnsObjects is set: then Delete, Clear
// and the destructor delete them (PutObject does not delete the one it
// replaces, as in the class library).
class TStringList : public TStrings {
 public:
  enum class Ownership { None, OwnsObjects };
  explicit TStringList(Ownership ownership = Ownership::None);
  ~TStringList() override;

  [[nodiscard]] int Count() const override { return static_cast<int>(items_.size()); }
  [[nodiscard]] std::string Get(int index) const override { return At(index); }
  void Put(int index, const std::string& s) override;
  [[nodiscard]] TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void InsertObject(int index, const std::string& s, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::string& s) override { return AddObject(s, nullptr); }
  int AddObject(const std::string& s, TObject* object) override;
  [[nodiscard]] int IndexOf(std::string_view s) const override;
  [[nodiscard]] int CompareStrings(std::string_view a, std::string_view b) const override;

  // The string itself, without a copy.
  [[nodiscard]] const std::string& At(int index) const;

  // Binary search of a sorted list: true when s is there, index its first
  // occurrence; otherwise index is where it would go. Only meaningful sorted.
  bool Find(std::string_view s, int& index) const;
  // Stable sort by CompareStrings.
  void Sort();

  [[nodiscard]] bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  [[nodiscard]] TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  [[nodiscard]] bool CaseSensitive() const { return case_sensitive_; }
  void SetCaseSensitive(bool case_sensitive);
  [[nodiscard]] bool OwnsObjects() const { return owns_objects_; }
  void SetOwnsObjects(bool owns) { owns_objects_ = owns; }

 protected:
  // Puts s at index without a search: for a sorted list that has found the
  // place itself (Find), and keeps the order.
  void InsertFound(int index, const std::string& s, TObject* object);

 private:
  struct Item {
    std::string string;
    TObject* object;  // owned only when owns_objects_
  };
  struct StringOf {
    const std::string& operator()(const Item& item) const { return item.string; }
  };

  void CheckIndex(int index, int limit) const;
  void InsertItem(int index, const std::string& s, TObject* object);

  ChunkedSequence<Item, StringOf> items_;
  bool sorted_ = false;
  TDuplicates duplicates_ = dupIgnore;
  bool case_sensitive_ = false;
  bool owns_objects_;
};

}  // namespace lark
