#include "html/section_base.h"

#include "html/document_coordinates.h"
#include "html/indent_manager.h"
#include "html/section_list.h"
#include "html/url_target.h"

namespace lark {

TSectionBase::TSectionBase(TSectionList* masterList) : ParentSectionList(masterList) {}

TSectionBase::TSectionBase(TSectionList* masterList, const TSectionBase& source)
    : ParentSectionList(masterList), SectionHeight(source.SectionHeight), ZIndex(source.ZIndex) {}

TSectionBase::~TSectionBase() {
  if (ParentSectionList) ParentSectionList->ForgetObject(this);
}

std::unique_ptr<TSectionBase> TSectionBase::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<TSectionBase>(masterList, *this);
}

int TSectionBase::DrawLogic(TCanvas&, int, int y, int, int, int, int, IndentManager& iMgr, int& maxWidth,
                            int& curs) {
  StartCurs = curs;
  DrawHeight = SectionHeight;
  maxWidth = iMgr.Width;
  YValue = DrawTop = ContentTop = y;
  ContentBot = SumCoordinates(y, SectionHeight);
  DrawBot = SumCoordinates(y, DrawHeight);
  return SectionHeight;
}

int TSectionBase::Draw(TCanvas&, const TRect&, IndentManager&, int, int, int) {
  return SumCoordinates(ContentTop, SectionHeight);
}

TGuResultType TSectionBase::GetURL(TCanvas&, int, int, std::unique_ptr<TUrlTarget>&, TFormControlObj*&,
                                   std::string&) {
  return 0;
}

bool TSectionBase::PtInObject(int, int, TObject*&, int&, int&) { return false; }
int TSectionBase::FindCursor(TCanvas&, int, int, int&, int&, int&, bool&) { return -1; }
int TSectionBase::FindString(int, const std::string&, bool, int&) { return -1; }
int TSectionBase::FindSourcePos(int) { return -1; }
int TSectionBase::FindDocPos(int, bool) { return -1; }
bool TSectionBase::CursorToXY(TCanvas&, int, int&, int&) { return false; }
bool TSectionBase::GetChAtPos(int, char32_t&, TObject*&) { return false; }

void TSectionBase::MinMaxWidth(TCanvas&, int& min, int& max) {
  min = 0;
  max = 0;
}

void TSectionBase::CachedMinMaxWidth(TCanvas& canvas, int& min, int& max) {
  const unsigned pass = ParentSectionList ? ParentSectionList->LayoutPass() : 0;
  if (pass == 0 || minMaxPass_ != pass) {
    MinMaxWidth(canvas, cachedMin_, cachedMax_);
    minMaxPass_ = pass;
  }
  min = cachedMin_;
  max = cachedMax_;
}

void TSectionBase::AddSectionsToList() {
  if (ParentSectionList) ParentSectionList->PositionList.push_back(this);
}

}  // namespace lark
