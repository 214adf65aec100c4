#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "html/id_object.h"
#include "html/ref_list.h"
#include "platform/core/string_list.h"

namespace lark {

// A document's anchor names and IDs, sorted and compared without regard to
// case, each with the object it names. The list owns only the character-
// position anchors it made itself; every other object belongs to a section.
// Beside the sorted names it keeps, per object of the document, the names
// that point to it, so that an object leaving the document is taken out in
// O(its names x log n).
class TIDNameList : public TStringList {
 public:
  explicit TIDNameList(TTextPositionLocator* ownerList);
  ~TIDNameList() override;

  // A name already present is replaced, so the last anchor of a name wins.
  int AddObject(const std::string& name, TObject* object) override;
  void AddChPosObject(const std::string& name, std::int32_t pos);
  void PutObject(int index, TObject* object) override;
  void Delete(int index) override;
  void Clear() override;
  // Takes out every name that points to `object` (which is not freed).
  void RemoveObject(const TObject* object);

  TTextPositionLocator* const OwnerList;  // not owned

 private:
  // Puts name -> object in the sorted names, replacing the name's old entry.
  int Replace(const std::string& name, TObject* object);
  void FreeOwned(TObject* object);
  void ForgetName(const TObject* object, const std::string& name);

  TRefList<std::pair<std::string, TObject*>> namesOf_;
};

}  // namespace lark
