#pragma once

#include <memory>

#include "html/section_base.h"

namespace lark {

// A forced page break: nothing on screen; on a print copy the page ends
// where it stands.
class TPage : public TSectionBase {
 public:
  using TSectionBase::TSectionBase;
  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;
  int Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) override;
};

}  // namespace lark
