#include <gtest/gtest.h>

#include <cmath>

#include "html/attribute_list.h"
#include "html/panel_object.h"
#include "html/section_list.h"
#include "platform/graphics/bitmap.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "table_document.h"

namespace lark {
namespace {

struct PanelDocument {
  PanelDocument() {
    Application();
    PaintPanel.SetBounds(0, 0, 400, 300);
    List = std::make_unique<TSectionList>(nullptr, &PaintPanel);
  }
  std::unique_ptr<TPanelObj> Make(const testing::Attributes& given) {
    TAttributeList attributes;
    for (const auto& [sy, value, text] : given) attributes.AddAttribute(sy, value, text);
    return std::make_unique<TPanelObj>(*List, 0, &attributes);
  }
  TForm PaintPanel{nullptr};
  std::unique_ptr<TSectionList> List;
};

// A table document whose panels go on a paint panel; a panel joins the
// current cell in a paragraph of its own.
struct TablePanelDocument : testing::TableDocument {
  TablePanelDocument() {
    Application();
    List.PPanel = &PaintPanel;
  }
  // A parent frees its child windows: the panels go with the document
  // first, as the viewer frees its document before its paint panel.
  ~TablePanelDocument() { List.Clear(); }
  TPanelObj* AddPanel(const testing::Attributes& given) {
    TAttributeList attributes;
    for (const auto& [sy, value, text] : given) attributes.AddAttribute(sy, value, text);
    auto paragraph = MakeParagraph();
    auto* panel = static_cast<TPanelObj*>(paragraph->AddObject(std::make_unique<TPanelObj>(List, 0, &attributes), 0));
    Current().Add(std::move(paragraph));
    return panel;
  }
  void Scroll(int y) {
    List.SetYOffset(y);
    List.Draw(Surface.Canvas(), Rect(0, 0, 400, 300), 400, 0, 0, 0, 0);
  }
  TForm PaintPanel{nullptr};
};

TEST(PanelObject, CreationReportsTheElementAndTheListTakesThePanel) {
  PanelDocument doc;
  std::vector<std::string> seen;
  ThvPanel* reported = nullptr;
  doc.List->OnPanelCreate = [&](TObject*, const std::string& name, const std::string& type, const std::string& src,
                                ThvPanel* panel) {
    seen = {name, type, src};
    reported = panel;
    EXPECT_EQ(panel->Left(), -400);
    EXPECT_EQ(panel->Width(), 30);
    panel->SetWidth(70);  // the application may size it
  };
  auto panel = doc.Make({{NameSy, 0, "clock"}, {TypeSy, 0, "app/clock"}, {SrcSy, 0, "clock.dat"}});
  EXPECT_EQ(seen, (std::vector<std::string>{"clock", "app/clock", "clock.dat"}));
  EXPECT_EQ(reported, panel->Panel.get());
  EXPECT_EQ(panel->ImageWidth, 70);
  EXPECT_EQ(panel->ImageHeight, 20);
  EXPECT_EQ(doc.List->PanelList.size(), 1u);
  panel.reset();
  EXPECT_EQ(doc.List->PanelList.size(), 0u);
}

TEST(PanelObject, PercentWidthAndHeightFactorSizeThePanel) {
  PanelDocument doc;
  auto panel = doc.Make({{WidthSy, 50, "50%"}, {RatioSy, 0, "0.5"}});
  panel->SetSize(400);
  EXPECT_EQ(panel->ImageWidth, 200);
  EXPECT_EQ(panel->ImageHeight, 100);
  EXPECT_EQ(panel->Panel->Width(), 200);
  EXPECT_EQ(panel->Panel->Height(), 100);

  for (const char* factor : {"1e308", "inf", "nan", "-2", "x"}) {
    auto huge = doc.Make({{WidthSy, 2147483647, "2147483647"}, {HeightSy, -5, "-5"}, {RatioSy, 0, factor}});
    huge->SetSize(400);
    EXPECT_LE(huge->ImageWidth, MaxLength) << factor;
    EXPECT_GE(huge->ImageHeight, 0) << factor;
    EXPECT_LE(huge->ImageHeight, MaxLength) << factor;
  }
}

TEST(PanelObject, PrintingDrawsTheFrameAndMarkerOrTheHandlersBitmap) {
  for (bool handler : {false, true}) {
    PanelDocument doc;
    auto panel = doc.Make({{WidthSy, 60, "60"}, {HeightSy, 40, "40"}, {AlignSy, 0, "top"}});
    if (handler)
      doc.List->OnPanelPrint = [&](TObject*, ThvPanel* source, TBitmap& bitmap) {
        EXPECT_EQ(source, panel->Panel.get());
        bitmap.Canvas().Brush().Color = clLime;
        bitmap.Canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
      };
    TSectionList copy(*doc.List);
    auto printed = panel->CreateCopy(copy);
    TBitmap page(200, 200);
    page.Canvas().Brush().Color = clWhite;
    page.Canvas().FillRect(Rect(0, 0, 200, 200));
    printed->Draw(page.Canvas(), 10, 10, 50, nullptr);
    if (handler) {
      EXPECT_EQ(page.Pixel(40, 30) & 0xFFFFFF, clLime);
    } else {
      EXPECT_EQ(page.Pixel(10, 30) & 0xFFFFFF, clBlack);   // the frame
      EXPECT_EQ(page.Pixel(64, 46) & 0xFFFFFF, clSilver);  // the marker
      EXPECT_EQ(page.Pixel(30, 20) & 0xFFFFFF, clWhite);   // the panel's colour
    }
  }
  // A panel at the length limit is printed from a bitmap of bounded size.
  PanelDocument doc;
  auto huge = doc.Make({{WidthSy, 2147483647, "2147483647"}, {HeightSy, 2147483647, "2147483647"}});
  ASSERT_EQ(huge->ImageWidth, MaxLength);
  int width = 0, height = 0;
  doc.List->OnPanelPrint = [&](TObject*, ThvPanel*, TBitmap& bitmap) {
    width = bitmap.Width();
    height = bitmap.Height();
  };
  TSectionList copy(*doc.List);
  TBitmap page(200, 200);
  huge->CreateCopy(copy)->Draw(page.Canvas(), 0, 0, 50, nullptr);
  EXPECT_GT(width, 0);
  EXPECT_LE(std::int64_t{width} * height, 2048 * 2048);
}

TEST(PanelObject, FreeingTheDocumentReportsEachPanelOnce) {
  PanelDocument doc;
  std::vector<ThvPanel*> destroyed;
  doc.List->OnPanelDestroy = [&](TObject*, ThvPanel* panel) { destroyed.push_back(panel); };
  auto first = doc.Make({});
  auto second = doc.Make({});
  TSectionList copy(*doc.List);
  auto printed = first->CreateCopy(copy);
  printed.reset();
  EXPECT_TRUE(destroyed.empty());
  const std::vector<ThvPanel*> expected = {first->Panel.get(), second->Panel.get()};
  first.reset();
  second.reset();
  EXPECT_EQ(destroyed, expected);
}

TEST(PanelObject, InATableCellAPercentPanelTakesItsShareAndTheDocumentFreesItOnce) {
  TablePanelDocument doc;
  int destroyed = 0;
  doc.List.OnPanelDestroy = [&](TObject*, ThvPanel*) { ++destroyed; };
  doc.OpenTable({{CellPaddingSy, 0, "0"}, {CellSpacingSy, 0, "0"}});
  doc.Row();
  doc.Cell({{WidthSy, 400, "400"}});
  TPanelObj* panel = doc.AddPanel({{WidthSy, 50, "50%"}, {RatioSy, 0, "0.5"}});
  doc.Layout(800);
  EXPECT_EQ(panel->ImageWidth, 200);
  EXPECT_EQ(panel->ImageHeight, 100);
  doc.List.Clear();
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(doc.List.PanelList.size(), 0u);
}

// A 300-pixel view scrolled over a panel whose line lies 400 pixels down:
// painted in view, the window sits at its line; scrolled off either way, it hides.
TEST(PanelObject, TheWindowFollowsItsLineAsTheDocumentScrollsAndHidesOutOfView) {
  TablePanelDocument doc;
  doc.OpenTable({{CellPaddingSy, 0, "0"}, {CellSpacingSy, 0, "0"}});
  doc.Row();
  doc.Cell({{HeightSy, 400, "400"}}, 1);
  doc.Text("above");
  doc.Row();
  doc.Cell({}, 1);
  TPanelObj* panel = doc.AddPanel({{WidthSy, 40, "40"}, {HeightSy, 30, "30"}, {AlignSy, 0, "top"}});
  doc.Layout(400);
  const int lineTop = 400;
  for (const auto& [offset, inView] : {std::pair{200, true}, {0, false}, {380, true}, {500, false}, {120, true}}) {
    SCOPED_TRACE(offset);
    doc.Scroll(offset);
    EXPECT_EQ(panel->Panel->Visible(), inView);
    if (!inView) continue;
    EXPECT_EQ(panel->Panel->Left(), panel->HSpaceL);
    EXPECT_EQ(panel->Panel->Top(), lineTop - offset);
    EXPECT_EQ(panel->Panel->Width(), 40);
  }
}

}  // namespace
}  // namespace lark
