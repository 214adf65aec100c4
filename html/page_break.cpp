#include "html/page_break.h"

#include "html/section_list.h"

namespace lark {

// A break this close to the page top would leave an empty page.
constexpr int kPageTopSlack = 5;

std::unique_ptr<TSectionBase> TPage::CreateCopy(TSectionList* masterList) const {
  return std::make_unique<TPage>(masterList, *this);
}

int TPage::Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) {
  TSectionList& list = *ParentSectionList;
  if (list.IsCopy) {
    const std::int64_t pageTop = std::int64_t{list.PageBottom} - (aRect.Bottom - aRect.Top);
    if (YValue > pageTop + kPageTopSlack && YValue < list.PageBottom) list.PageBottom = YValue;
  }
  return TSectionBase::Draw(canvas, aRect, iMgr, x, xRef, yRef);
}

}  // namespace lark
