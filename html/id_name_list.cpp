#include "html/id_name_list.h"

namespace lark {

TIDNameList::TIDNameList(TTextPositionLocator* ownerList) : OwnerList(ownerList) { SetSorted(true); }

TIDNameList::~TIDNameList() { Clear(); }

int TIDNameList::AddObject(const std::string& name, TObject* object) {
  int index = 0;
  if (Find(name, index)) {
    TObject* old = Objects(index);
    Delete(index);
    FreeOwned(old);
  }
  return TStringList::AddObject(name, object);
}

void TIDNameList::AddChPosObject(const std::string& name, std::int32_t pos) {
  AddObject(name, new TChPosObj(pos, OwnerList));
}

void TIDNameList::Clear() {
  for (int i = 0; i < Count(); ++i) FreeOwned(Objects(i));
  TStringList::Clear();
}

void TIDNameList::FreeOwned(TObject* object) {
  // Only the character-position anchors are this list's own.
  delete dynamic_cast<TChPosObj*>(object);
}

}  // namespace lark
