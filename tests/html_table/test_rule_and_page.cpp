#include <gtest/gtest.h>

#include "html/attribute_list.h"
#include "html/horz_line.h"
#include "html/indent_manager.h"
#include "html/page_break.h"
#include "html/properties.h"
#include "html/section_list.h"
#include "html/table_box.h"
#include "platform/graphics/bitmap.h"
#include "table_document.h"

namespace lark {
namespace {

// A rule made as the parser makes it: the line first (it writes the
// element's width and height), then its box, into the document.
struct RuleDocument {
  TSectionList List{nullptr, nullptr};
  TBitmap Surface{400, 100};
  TProperties Props;
  THorzLine* Line = nullptr;

  explicit RuleDocument(const testing::Attributes& given) {
    TAttributeList attributes;
    for (const auto& [sy, value, text] : given) attributes.AddAttribute(sy, value, text);
    Props.PropTag = "hr";
    auto line = std::make_unique<THorzLine>(&List, &Props, &attributes);
    Line = line.get();
    auto box = std::make_unique<THRBlock>(&List, &attributes, Props, &List, line->Align);
    box->Line = Line;
    box->MyCell->Add(std::move(line));
    List.Add(std::move(box));
    int scrollWidth = 0, curs = 0;
    List.DoLogic(Surface.Canvas(), 0, 400, 100, scrollWidth, curs);
    Surface.Canvas().Brush().Color = clWhite;
    Surface.Canvas().FillRect(Rect(0, 0, 400, 100));
    List.Draw(Surface.Canvas(), Rect(0, 0, 400, 100), 400, 0, 0, 0, 0);
  }
  [[nodiscard]] TColor At(int x, int y) const { return Surface.Pixel(x, y) & 0xFFFFFF; }
};

TEST(HorzLine, SizeOutsideOneToTwentyKeepsTwoPixels) {
  for (auto [size, expected] : {std::pair{0, 2}, {30, 2}, {20, 20}, {-2147483647, 2}}) {
    RuleDocument doc({{SizeSy, size, std::to_string(size)}});
    EXPECT_EQ(doc.Line->VSize, expected) << size;
    EXPECT_EQ(doc.Line->SectionHeight, expected) << size;
  }
}

TEST(HorzLine, BesideALeftFloatTheRuleStartsAtItsEdge) {
  TSectionList list(nullptr, nullptr);
  THorzLine line(&list, nullptr, nullptr);
  IndentManager iMgr;
  iMgr.Reset(0, 400);
  iMgr.Width = 400;
  iMgr.AddFloatBlock(0, 120, 50, TFloatSide::Left);
  TBitmap surface(10, 10);
  int maxWidth = 0, curs = 0;
  line.DrawLogic(surface.Canvas(), 0, 10, 0, 0, 400, 100, iMgr, maxWidth, curs);
  EXPECT_EQ(line.Indent, 120);
  EXPECT_EQ(line.HW, 280);
  line.DrawLogic(surface.Canvas(), 0, 60, 0, 0, 400, 100, iMgr, maxWidth, curs);  // below the float
  EXPECT_EQ(line.HW, 400);
}

TEST(HorzLine, AColourGivesASolidBarAndNoneAnEngravedLine) {
  RuleDocument solid({{ColorSy, 0, "red"}, {SizeSy, 6, "6"}});
  const int top = solid.Line->YValue;
  EXPECT_EQ(solid.At(200, top + 3), clRed);

  RuleDocument engraved({{SizeSy, 6, "6"}});
  const int y = engraved.Line->YValue;
  EXPECT_EQ(engraved.At(200, y), TColor{0x808080});  // the button shadow
  EXPECT_EQ(engraved.At(200, y + 5), TColor{0xC0C0C0});  // light grey on a white page
  EXPECT_EQ(engraved.At(200, y + 3), clWhite);

  RuleDocument noShade({{NoShadeSy, 0, ""}, {SizeSy, 6, "6"}});
  EXPECT_EQ(noShade.At(200, noShade.Line->YValue), clBlack);
  EXPECT_EQ(noShade.At(200, noShade.Line->YValue + 5), clBlack);
}

TEST(HorzLine, TheElementsOwnColourWinsOverColorAndAnInheritedOneDoesNot) {
  TProperties parent;
  parent.SetProp(css::Color, static_cast<int>(clBlue));
  TProperties inherited;
  inherited.Inherit(parent);
  TSectionList list(nullptr, nullptr);
  EXPECT_EQ(THorzLine(&list, &inherited, nullptr).Color, clNone);  // still engraved
  TProperties styled;
  styled.SetProp(css::Color, static_cast<int>(clBlue));
  TAttributeList attributes;
  attributes.AddAttribute(ColorSy, 0, "red");
  EXPECT_EQ(THorzLine(&list, &styled, &attributes).Color, clBlue);
}

TEST(HorzLine, WidthAndThicknessSizeTheRulesBox) {
  RuleDocument doc({{WidthSy, 50, "50%"}, {SizeSy, 8, "8"}, {AlignSy, 0, "right"}});
  EXPECT_EQ(doc.Line->HW, 200);
  EXPECT_EQ(doc.Line->Align, 3);
  EXPECT_EQ(doc.At(100, doc.Line->YValue), clWhite);
  EXPECT_NE(doc.At(300, doc.Line->YValue), clWhite);
}

TEST(PageBreak, OnlyABreakBelowTheTopFivePixelsEndsThePage) {
  for (auto [y, expectedBottom] : {std::pair{1003, 2000}, {1400, 1400}}) {
    TSectionList list(nullptr, nullptr);
    auto page = std::make_unique<TPage>(&list);
    page->ParentSectionList = &list;
    list.Add(std::move(page));
    TSectionList copy(list);
    copy.Items(0)->YValue = y;
    copy.PageBottom = 2000;  // the page runs from 1000 to 2000
    TBitmap surface(10, 10);
    IndentManager iMgr;
    copy.Items(0)->Draw(surface.Canvas(), Rect(0, 0, 800, 1000), iMgr, 0, 0, 0);
    EXPECT_EQ(copy.PageBottom, expectedBottom) << y;
  }
}

}  // namespace
}  // namespace lark
