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

TEST(PanelObject, TheWindowGoesWhereTheLinePutsItAndHidesWhenAsked) {
  PanelDocument doc;
  auto panel = doc.Make({{WidthSy, 40, "40"}, {HeightSy, 30, "30"}, {AlignSy, 0, "top"}});
  TBitmap surface(400, 300);
  doc.List->YOff = 10;
  panel->Draw(surface.Canvas(), 50, 100, 120, nullptr);
  EXPECT_TRUE(panel->ShowIt);
  EXPECT_EQ(panel->Panel->Left(), 50);
  EXPECT_EQ(panel->Panel->Top(), 90);
  EXPECT_TRUE(panel->Panel->Visible());
  panel->HideWindow(false);
  EXPECT_FALSE(panel->Panel->Visible());
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
  Application();
  TForm paintPanel(nullptr);
  testing::TableDocument doc;
  doc.List.PPanel = &paintPanel;
  int destroyed = 0;
  doc.List.OnPanelDestroy = [&](TObject*, ThvPanel*) { ++destroyed; };
  doc.OpenTable({{CellPaddingSy, 0, "0"}, {CellSpacingSy, 0, "0"}});
  doc.Row();
  doc.Cell({{WidthSy, 400, "400"}});
  TAttributeList attributes;
  attributes.AddAttribute(WidthSy, 50, "50%");
  attributes.AddAttribute(RatioSy, 0, "0.5");
  auto paragraph = doc.MakeParagraph();
  auto* panel = static_cast<TPanelObj*>(paragraph->AddObject(std::make_unique<TPanelObj>(doc.List, 0, &attributes), 0));
  doc.Current().Add(std::move(paragraph));
  doc.Layout(800);
  EXPECT_EQ(panel->ImageWidth, 200);
  EXPECT_EQ(panel->ImageHeight, 100);
  doc.List.Clear();
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(doc.List.PanelList.size(), 0u);
}

}  // namespace
}  // namespace lark
