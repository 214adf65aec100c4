#include "platform/core/string_list.h"

#include <algorithm>

#include "platform/core/exception.h"
#include "platform/core/file_stream.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

[[noreturn]] void RaiseSortedOperation() { throw EStringListError("Operation not allowed on sorted list"); }

}  // namespace

// --- TStrings ---------------------------------------------------------------

void TStrings::Put(int index, const std::string& s) {
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, s, object);
}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

int TStrings::Add(const std::string& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

int TStrings::IndexOf(std::string_view s) const {
  for (int i = 0; i < Count(); ++i) {
    if (CompareStrings(Get(i), s) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i) {
    if (GetObject(i) == object) return i;
  }
  return -1;
}

int TStrings::CompareStrings(std::string_view a, std::string_view b) const { return CompareText(a, b); }

std::string TStrings::Names(int index) const {
  const std::string s = Get(index);
  const std::size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int index) const {
  if (index < 0) return {};
  const std::string s = Get(index);
  const std::size_t eq = s.find('=');
  return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

int TStrings::IndexOfName(std::string_view name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string s = Get(i);
    const std::size_t eq = s.find('=');
    if (eq != std::string::npos && CompareStrings(std::string_view(s).substr(0, eq), name) == 0) return i;
  }
  return -1;
}

std::string TStrings::Values(std::string_view name) const { return ValueFromIndex(IndexOfName(name)); }

void TStrings::SetValue(std::string_view name, std::string_view value) {
  const int index = IndexOfName(name);
  if (value.empty()) {
    if (index >= 0) Delete(index);
    return;
  }
  const std::string line = std::string(name) + "=" + std::string(value);
  if (index >= 0) {
    Put(index, line);
  } else {
    Add(line);
  }
}

std::string TStrings::Text() const {
  std::string text;
  for (int i = 0; i < Count(); ++i) text.append(Get(i)).append(kLineBreak);
  return text;
}

void TStrings::SetText(std::string_view text) {
  Clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    Add(std::string(text.substr(start, end - start)));
    start = end;
    if (start < text.size() && text[start] == '\r') ++start;
    if (start < text.size() && text[start] == '\n') ++start;
  }
}

void TStrings::LoadFromStream(TStream& stream) { SetText(stream.ReadRest()); }

void TStrings::SaveToStream(TStream& stream) const { stream.WriteString(Text()); }

void TStrings::LoadFromFile(const std::string& file_name) {
  TFileStream file(file_name, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TStrings::SaveToFile(const std::string& file_name) const {
  TFileStream file(file_name, fmCreate);
  SaveToStream(file);
}

void TStrings::Assign(const TStrings& source) {
  if (&source == this) return;
  Clear();
  AddStrings(source);
}

void TStrings::AddStrings(const TStrings& source) {
  const int count = source.Count();  // fixed first, so adding a list to itself ends
  for (int i = 0; i < count; ++i) AddObject(source.Get(i), source.GetObject(i));
}

// --- TStringList ------------------------------------------------------------

TStringList::TStringList(Ownership ownership) : owns_objects_(ownership == Ownership::OwnsObjects) {}

TStringList::~TStringList() { Clear(); }

void TStringList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
}

const std::string& TStringList::At(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<std::size_t>(index)].string;
}

void TStringList::Put(int index, const std::string& s) {
  if (sorted_) RaiseSortedOperation();
  CheckIndex(index, Count());
  items_.Modify(static_cast<std::size_t>(index), [&s](Item& item) { item.string = s; });
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index, Count());
  items_.Modify(static_cast<std::size_t>(index), [object](Item& item) { item.object = object; });
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
  if (sorted_) RaiseSortedOperation();
  CheckIndex(index, Count() + 1);
  InsertItem(index, s, object);
}

void TStringList::InsertFound(int index, const std::string& s, TObject* object) {
  CheckIndex(index, Count() + 1);
  InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
  items_.insert(static_cast<std::size_t>(index), Item{s, object});
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  TObject* object = items_[static_cast<std::size_t>(index)].object;
  items_.erase(static_cast<std::size_t>(index));
  if (owns_objects_) delete object;
}

void TStringList::Clear() {
  std::vector<Item> items = items_.TakeAll();  // the list is already empty while objects are deleted
  if (!owns_objects_) return;
  for (Item& item : items) delete item.object;
}

int TStringList::AddObject(const std::string& s, TObject* object) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EStringListError("String list does not allow duplicates");
  }
  InsertItem(index, s, object);
  return index;
}

int TStringList::IndexOf(std::string_view s) const {
  if (sorted_) {
    int index = 0;
    return Find(s, index) ? index : -1;
  }
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (CompareStrings(items_[i].string, s) == 0) return static_cast<int>(i);
  }
  return -1;
}

int TStringList::CompareStrings(std::string_view a, std::string_view b) const {
  return case_sensitive_ ? CompareStr(a, b) : CompareText(a, b);
}

bool TStringList::Find(std::string_view s, int& index) const {
  const std::size_t at =
      items_.PartitionPoint([this, s](const std::string& string) { return CompareStrings(string, s) < 0; });
  index = static_cast<int>(at);
  return at < items_.size() && CompareStrings(items_[at].string, s) == 0;
}

void TStringList::Sort() {
  std::vector<Item> items = items_.TakeAll();
  std::stable_sort(items.begin(), items.end(),
                   [this](const Item& a, const Item& b) { return CompareStrings(a.string, b.string) < 0; });
  items_.Assign(std::move(items));
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool case_sensitive) {
  if (case_sensitive == case_sensitive_) return;
  case_sensitive_ = case_sensitive;
  if (sorted_) Sort();
}

}  // namespace lark
