#include <gtest/gtest.h>

#include "html/attribute_list.h"
#include "html/table.h"
#include "html/table_box.h"
#include "layout_fixture.h"

namespace lark {
namespace {

// A table that needs 100 pixels at least and 500 without wrapping.
class FixedTable : public ThtmlTable {
 public:
  using ThtmlTable::ThtmlTable;
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override {
    ThtmlTable::DrawLogic(canvas, x, y, xRef, yRef, aWidth, aHeight, iMgr, maxWidth, curs);
    SectionHeight = DrawHeight = 20;
    ContentBot = DrawBot = y + 20;
    return 20;
  }
  void MinMaxWidth(TCanvas&, int& min, int& max) override {
    min = 100;
    max = 500;
  }
};

struct TableDocument {
  TSectionList List{nullptr, nullptr};
  TBitmap Surface{10, 10};
  TProperties Props;
  TAttributeList Attributes;
  FixedTable* Table = nullptr;
  TTableBlock* Box = nullptr;

  void Attribute(Symb sy, int value, const std::string& text) {
    Attributes.Add(std::make_unique<TAttribute>(sy, value, text));
  }
  void Build() {
    auto table = std::make_unique<FixedTable>(&List);
    Table = table.get();
    auto box = std::make_unique<TTableBlock>(&List, &Attributes, Props, &List, Table);
    Box = box.get();
    box->MyCell->Add(std::move(table));
    List.Add(std::move(box));
  }
  int Layout(int width) {
    int scrollWidth = 0, curs = 0;
    return List.DoLogic(Surface.Canvas(), 0, width, 1000, scrollWidth, curs);
  }
};

TEST(TableBox, ACentredHalfWidthTableGetsHalfTheCellAndEqualMargins) {
  TableDocument doc;
  doc.Attribute(AlignSy, 0, "center");
  doc.Attribute(WidthSy, 50, "50%");
  doc.Build();
  doc.Layout(600);
  EXPECT_EQ(doc.Table->Width, 300);
  EXPECT_EQ(doc.Box->ContentLeft, 150);
  EXPECT_EQ(doc.Box->SectionHeight, 20);
}

TEST(TableBox, WithoutAWidthTheTableTakesWhatItNeedsWithinItsBounds) {
  TableDocument doc;
  doc.Build();
  doc.Layout(600);
  EXPECT_EQ(doc.Box->ContentWidth, 500);
  doc.Layout(300);
  EXPECT_EQ(doc.Box->ContentWidth, 300);
  doc.Layout(60);
  EXPECT_EQ(doc.Box->ContentWidth, 100);
  EXPECT_EQ(doc.Table->Width, 0);  // no width from the page: the table sizes itself in the box
}

TEST(TableBox, AlignLeftFloatsWithItsHorizontalSpace) {
  TableDocument doc;
  doc.Attribute(AlignSy, 0, "left");
  doc.Attribute(WidthSy, 200, "200");
  doc.Attribute(HSpaceSy, 100, "100");  // at most 40
  doc.Build();
  EXPECT_EQ(doc.Layout(600), 20);  // the document still grows to cover the float
  EXPECT_EQ(doc.Box->Floating, TFloating::Left);
  EXPECT_EQ(doc.Box->ContentLeft, 40);
  EXPECT_EQ(doc.Box->SectionHeight, 0);  // a float takes no room in the flow
}

TEST(RuleBox, HalfWidthRulesAreCentredOrPushedRight) {
  for (int align : {2, 3}) {
    TSectionList list(nullptr, nullptr);
    TProperties props;
    props.AddPropertyByName("width", "50%");
    auto box = std::make_unique<THRBlock>(&list, nullptr, props, &list, align);
    THRBlock* raw = box.get();
    list.Add(std::move(box));
    TBitmap surface(10, 10);
    int scrollWidth = 0, curs = 0;
    list.DoLogic(surface.Canvas(), 0, 400, 1000, scrollWidth, curs);
    EXPECT_EQ(raw->ContentWidth, 200);
    EXPECT_EQ(raw->ContentLeft, align == 2 ? 100 : 200);
  }
}

}  // namespace
}  // namespace lark
