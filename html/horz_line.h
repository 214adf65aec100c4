#pragma once

#include <memory>

#include "html/section_base.h"
#include "platform/graphics/color.h"

namespace lark {

class TAttributeList;
class TProperties;

// The rule of an HR element, inside its THRBlock: a solid bar in COLOR, or
// an engraved line.
class THorzLine : public TSectionBase {
 public:
  // Writes WIDTH and the thickness into the element's width and height
  // properties, so that the rule's box sizes itself; Align (1 left, 2 centre,
  // 3 right) is for that box.
  THorzLine(TSectionList* masterList, TProperties* props, TAttributeList* attributes);
  THorzLine(TSectionList* masterList, const THorzLine& source);
  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override;
  int Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) override;
  void CopyToClipboard() override;
  // The rule's box in the layout's coordinates, for box dumps.
  [[nodiscard]] TRect BorderBox() const { return Rect(Indent, YValue, Indent + HW, YValue + VSize); }

  int VSize = 2;
  TColor Color = clNone;
  int Align = 2;
  bool NoShade = false;
  int HW = 0;      // the drawn width
  int Indent = 0;  // where it starts, in the layout's X

 private:
  void DrawEngraved(TCanvas& canvas, int x1, int x2, int y);
  int layoutX_ = 0;
};

}  // namespace lark
