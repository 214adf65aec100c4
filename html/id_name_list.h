#pragma once

#include <cstdint>
#include <string>

#include "html/id_object.h"
#include "platform/core/string_list.h"

namespace lark {

// A document's anchor names and IDs, sorted and compared without regard to
// case, each with the object it names. The list owns only the character-
// position anchors it made itself; every other object belongs to a section.
class TIDNameList : public TStringList {
 public:
  explicit TIDNameList(TTextPositionLocator* ownerList);
  ~TIDNameList() override;

  // A name already present is replaced, so the last anchor of a name wins.
  int AddObject(const std::string& name, TObject* object) override;
  void AddChPosObject(const std::string& name, std::int32_t pos);
  void Clear() override;

  TTextPositionLocator* const OwnerList;  // not owned

 private:
  void FreeOwned(TObject* object);
};

}  // namespace lark
