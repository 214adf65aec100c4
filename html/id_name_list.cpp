#include "html/id_name_list.h"

#include <vector>

namespace lark {

TIDNameList::TIDNameList(TTextPositionLocator* ownerList) : OwnerList(ownerList) { SetSorted(true); }

TIDNameList::~TIDNameList() { Clear(); }

int TIDNameList::AddObject(const std::string& name, TObject* object) {
  const int index = Replace(name, object);
  namesOf_.emplace(object, name);
  return index;
}

void TIDNameList::AddChPosObject(const std::string& name, std::int32_t pos) {
  // The list's own anchors never leave the document on their own, so they
  // need no place in the index of names by object.
  Replace(name, new TChPosObj(pos, OwnerList));
}

int TIDNameList::Replace(const std::string& name, TObject* object) {
  int index = 0;
  if (Find(name, index)) {
    TObject* old = Objects(index);
    Delete(index);
    FreeOwned(old);
  }
  InsertFound(index, name, object);  // where the name was, or where it goes
  return index;
}

void TIDNameList::PutObject(int index, TObject* object) {
  const std::string& name = At(index);
  ForgetName(Objects(index), name);
  TStringList::PutObject(index, object);
  namesOf_.emplace(object, name);
}

void TIDNameList::Delete(int index) {
  ForgetName(Objects(index), At(index));
  TStringList::Delete(index);
}

void TIDNameList::Clear() {
  for (int i = 0; i < Count(); ++i) FreeOwned(Objects(i));
  namesOf_.clear();
  TStringList::Clear();
}

void TIDNameList::RemoveObject(const TObject* object) {
  if (namesOf_.empty()) return;
  const auto [first, last] = namesOf_.equal_range(object);
  if (first == last) return;
  std::vector<std::string> names;
  for (auto it = first; it != last; ++it) names.push_back(it->second);
  namesOf_.erase(first, last);
  for (const std::string& name : names) {
    int index = 0;
    if (Find(name, index) && Objects(index) == object) TStringList::Delete(index);
  }
}

void TIDNameList::ForgetName(const TObject* object, const std::string& name) {
  const auto [first, last] = namesOf_.equal_range(object);
  for (auto it = first; it != last; ++it)
    if (it->second == name) {
      namesOf_.erase(it);
      return;
    }
}

void TIDNameList::FreeOwned(TObject* object) {
  // Only the character-position anchors are this list's own.
  delete dynamic_cast<TChPosObj*>(object);
}

}  // namespace lark
