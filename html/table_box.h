#pragma once

#include "html/block.h"
#include "html/paragraph_section.h"

namespace lark {

class ThtmlTable;
class THorzLine;

// The box around a table: the table's ALIGN, WIDTH, HEIGHT, BGCOLOR,
// BACKGROUND, HSPACE and VSPACE, and its width rules.
class TTableBlock : public TBlock {
 public:
  // `table` is the first section of the box's cell (the parser adds it).
  TTableBlock(TSectionList* masterList, TAttributeList* attributes, TProperties& props, TCellBasic* ownerCell,
              ThtmlTable* table);
  TTableBlock(TSectionList* masterList, const TTableBlock& source);
  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override;
  void MinMaxWidth(TCanvas& canvas, int& min, int& max) override;
  int FindWidth(TCanvas& canvas, int aWidth, int autoCount, int aHeight) override;
  void AddSectionsToList() override;

  ThtmlTable* Table;
  TJustify Justify = TJustify::Left;  // Centre or Right from ALIGN
  int TableWidth = 0;                 // WIDTH: pixels, or tenths of a percent
  bool AsPercent = false;
  int TableHeight = 0;                // HEIGHT: pixels, or tenths of a percent
  bool HeightAsPercent = false;
  int HSpace = 3, VSpace = 0;

 private:
  void ReadAttributes(const TAttributeList& attributes);
  bool sideMarginsSet_ = false;  // the style gives a left or right margin
};

// The box around a horizontal rule: the rule's width and alignment.
class THRBlock : public TBlock {
 public:
  // align: 1 left, 2 centre, 3 right.
  THRBlock(TSectionList* masterList, TAttributeList* attributes, TProperties& props, TCellBasic* ownerCell,
           int align);
  THRBlock(TSectionList* masterList, const THRBlock& source);
  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;
  int FindWidth(TCanvas& canvas, int aWidth, int autoCount, int aHeight) override;

  int Align;
  THorzLine* Line = nullptr;  // the rule, the first section of the cell
};

}  // namespace lark
