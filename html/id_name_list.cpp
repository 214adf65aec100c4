#include "html/id_name_list.h"

#include <vector>

namespace lark {

TIDNameList::TIDNameList(TTextPositionLocator* ownerList) : OwnerList(ownerList) { SetSorted(true); }

TIDNameList::~TIDNameList() { Clear(); }

int TIDNameList::AddObject(const std::string& name, TObject* object) {
  const int index = Replace(name, object);
  namesOf_.push_back({name, object});
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
  namesOf_.push_back({name, object});
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
  std::vector<std::string> names;
  namesOf_.ForEachOf(object, [&](const auto& entry) { names.push_back(entry.first); });
  if (names.empty()) return;
  namesOf_.Remove(object);
  for (const std::string& name : names) {
    int index = 0;
    if (Find(name, index) && Objects(index) == object) TStringList::Delete(index);
  }
}

void TIDNameList::ForgetName(const TObject* object, const std::string& name) {
  namesOf_.RemoveOneOf(object, [&](const auto& entry) { return entry.first == name; });
}

void TIDNameList::FreeOwned(TObject* object) {
  // Only the character-position anchors are this list's own.
  delete dynamic_cast<TChPosObj*>(object);
}

}  // namespace lark
