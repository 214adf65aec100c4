// A document built the way the parser builds one: a body block, blocks made
// in document order inside the current cell (so margins collapse as they
// would), paragraphs from their element's properties.
#include <climits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "html/block.h"
#include "html/section_style.h"
#include "html/text_collector.h"
#include "html/url_target.h"
#include "layout_fixture.h"

namespace lark {
namespace {

using Values = std::vector<std::pair<const char*, const char*>>;

class DocumentBuilder {
 public:
  DocumentBuilder() {
    root_.AddPropertyByName("font-family", "Arial");
    root_.SetProp(css::FontSize, 12.0);
    root_.SetProp(css::Color, 0);
    auto body = std::make_unique<TBodyBlock>(&List, nullptr, *Push("body", {{"margin-left", "8px"}}), &List, "body");
    Body = body.get();
    List.Add(std::move(body));
    cells_.push_back(Body->MyCell.get());
  }

  TProperties* Push(const char* tag, const Values& values) {
    auto props = std::make_unique<TProperties>();
    props->Inherit(stack_.empty() ? root_ : *stack_.back());
    props->PropTag = tag;
    for (const auto& [name, value] : values) props->AddPropertyByName(name, value);
    stack_.push_back(std::move(props));
    return stack_.back().get();
  }

  TSection* Text(const std::string& text, const Values& values = {}, const TUrlTarget* link = nullptr) {
    TProperties* props = Push("span", values);
    auto section = CreateSection(&List, nullptr, *props, link, true);
    section->AddText(text, position_);
    position_ += static_cast<int>(text.size());
    TSection* raw = section.get();
    cells_.back()->Add(std::move(section));
    stack_.pop_back();
    return raw;
  }

  template <typename Block = TBlock, typename... Extra>
  Block* Open(const char* tag, const Values& values, Extra&&... extra) {
    TProperties* props = Push(tag, values);
    auto block = std::make_unique<Block>(&List, nullptr, *props, cells_.back(), tag, std::forward<Extra>(extra)...);
    Block* raw = block.get();
    pending_.push_back(std::move(block));
    cells_.push_back(raw->MyCell.get());
    return raw;
  }

  void Close() {
    cells_.pop_back();
    stack_.pop_back();
    cells_.back()->Add(std::move(pending_.back()));
    pending_.pop_back();
  }

  void Add(std::unique_ptr<TSectionBase> section) { cells_.back()->Add(std::move(section)); }

  int Layout(int width) {
    int curs = 0;
    ScrollWidth = 0;
    return List.DoLogic(Surface.Canvas(), 0, width, 1000, ScrollWidth, curs);
  }
  void Paint() {
    Surface.Canvas().Brush().Color = clWhite;
    Surface.Canvas().FillRect(Rect(0, 0, 1000, 1000));
    List.Draw(Surface.Canvas(), Rect(0, 0, 1000, 1000), 1000, 0, 0, 0, 0);
  }
  [[nodiscard]] TColor Pixel(int x, int y) { return Surface.Pixel(x, y) & 0xFFFFFF; }

  TSectionList List{nullptr, nullptr};
  TBodyBlock* Body = nullptr;
  TBitmap Surface{1000, 1000};
  int ScrollWidth = 0;

 private:
  TProperties root_;
  std::vector<std::unique_ptr<TProperties>> stack_;
  std::vector<TCellBasic*> cells_;
  std::vector<std::unique_ptr<TSectionBase>> pending_;
  int position_ = 0;
};

int Gap(int bottom, int top) {
  DocumentBuilder doc;
  TBlock* first = doc.Open("p", {{"margin-top", "0px"}, {"margin-bottom", std::to_string(bottom).append("px").c_str()}});
  TSection* a = doc.Text("first");
  doc.Close();
  TBlock* second = doc.Open("p", {{"margin-top", std::to_string(top).append("px").c_str()}});
  doc.Text("second");
  doc.Close();
  doc.Layout(800);
  (void)first;
  return second->ContentY - (a->ContentTop + a->SectionHeight);
}

TEST(Document, VerticalMarginsCollapse) {
  EXPECT_EQ(Gap(10, 20), 20);
  EXPECT_EQ(Gap(10, -5), 5);
  EXPECT_EQ(Gap(-10, -5), -10);
}

const char* kLong =
    "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incididunt ut labore "
    "et dolore magna aliqua. Ut enim ad minim veniam, quis nostrud exercitation ullamco laboris nisi ut "
    "aliquip ex ea commodo consequat.";

TEST(Document, TextFlowsBetweenFloatingBlocksAndClearGoesBelowThem) {
  DocumentBuilder doc;
  doc.Open("div", {{"float", "left"}, {"width", "100px"}, {"height", "80px"}, {"background-color", "red"}});
  doc.Text("L");
  doc.Close();
  doc.Open("div", {{"float", "right"}, {"width", "120px"}, {"height", "60px"}, {"background-color", "blue"}});
  doc.Text("R");
  doc.Close();
  TSection* flowing = doc.Text(kLong);
  TBlock* cleared = doc.Open("div", {{"clear", "both"}});
  TSection* below = doc.Text("below the floats");
  doc.Close();
  doc.Layout(600);
  ASSERT_GT(flowing->Lines().size(), 2u);
  const LineRec& first = flowing->Lines()[0];
  // Line indents count from the body's content edge at 8.
  EXPECT_GE(8 + first.LineIndent, 8 + 100);
  EXPECT_LE(8 + first.LineIndent + first.DrawWidth, 600 - 120);
  EXPECT_GE(below->ContentTop, 80);
  EXPECT_GE(cleared->ContentY, 80);
  doc.Paint();
  EXPECT_EQ(doc.Pixel(20, 40), clRed);
  EXPECT_EQ(doc.Pixel(550, 30), clBlue);
}

TEST(Document, BordersPaddingAndBackground) {
  DocumentBuilder doc;
  TBlock* box = doc.Open("div", {{"border-style", "solid"},
                                 {"border-width", "4px"},
                                 {"border-color", "#00ff00"},
                                 {"padding-left", "10px"},
                                 {"padding-top", "10px"},
                                 {"background-color", "yellow"}});
  doc.Text("boxed");
  doc.Close();
  doc.Layout(400);
  doc.Paint();
  EXPECT_EQ(box->ContentLeft, 8 + 4 + 10);
  const TRect border = box->BoxRect;
  EXPECT_EQ(doc.Pixel(border.Left + 1, border.Top + 20), TColor(0x00FF00));
  EXPECT_EQ(doc.Pixel(border.Left + 6, border.Top + 6), clYellow);
}

TEST(Document, ListMarkers) {
  EXPECT_EQ(ListMarkerText(lbLowerAlpha, 27), "z.");
  EXPECT_EQ(ListMarkerText(lbLowerRoman, 21), "xx.");
  EXPECT_EQ(ListMarkerText(lbUpperRoman, 4), "IV.");
  EXPECT_EQ(ListMarkerText(lbLowerRoman, 0), "0.");    // never before the tables
  EXPECT_EQ(ListMarkerText(lbUpperAlpha, -3), "-3.");
  EXPECT_EQ(NextListNumber(INT_MAX), INT_MAX);

  DocumentBuilder doc;
  doc.Open("ol", {{"margin-left", "40px"}});
  TBlockLI* item = doc.Open<TBlockLI>("li", {}, TListType::Ordered, 'a', false, 27, 1);
  doc.Text("item");
  doc.Close();
  doc.Close();
  TBlockLI* loose = doc.Open<TBlockLI>("li", {}, TListType::Outside, '1', false, 1, 0);
  doc.Text("outside any list");
  doc.Close();
  doc.Layout(400);
  doc.Paint();
  EXPECT_EQ(loose->ListStyle, lbDisc);
  EXPECT_EQ(loose->ContentLeft, 8 + 16);
  EXPECT_GT(item->FirstLineY, 0);
  bool inked = false;
  for (int x = 8; x < item->ContentLeft - 5; ++x)
    for (int y = item->FirstLineY - 12; y <= item->FirstLineY; ++y)
      if (doc.Pixel(x, y) != clWhite) inked = true;
  EXPECT_TRUE(inked);  // "z." left of the item
}

// A 4 x 2 tile: the left half red, the right half blue or white.
std::unique_ptr<TBitmap> Tile(TColor right) {
  auto tile = std::make_unique<TBitmap>(4, 2);
  tile->SetPixelFormat(pf24bit);
  tile->Canvas().Brush().Color = clRed;
  tile->Canvas().FillRect(Rect(0, 0, 2, 2));
  tile->Canvas().Brush().Color = right;
  tile->Canvas().FillRect(Rect(2, 0, 4, 2));
  return tile;
}

TEST(Document, BackgroundPicturesAreTiledWhenPainted) {
  DocumentBuilder doc;
  int requests = 0;
  doc.List.OnBitmapRequest = [&](TObject*, const std::string& url, std::unique_ptr<TBitmap>& bitmap, TColor& color) {
    ++requests;
    bitmap = Tile(url == "see-through.bmp" ? clWhite : clBlue);
    if (url == "see-through.bmp") color = clWhite;
    else bitmap->SetPixelFormat(pf8bit);  // indexed pictures are converted for drawing
  };
  TBlock* tiled = doc.Open("div", {{"background-image", "url(tile.bmp)"}, {"height", "20px"}});
  doc.Text(" ");
  doc.Close();
  TBlock* single = doc.Open("div", {{"background-image", "url(tile.bmp)"},
                                    {"background-repeat", "no-repeat"},
                                    {"background-position", "10px 4px"},
                                    {"height", "20px"}});
  doc.Close();
  TBlock* masked = doc.Open("div", {{"background-image", "url(see-through.bmp)"},
                                    {"background-color", "yellow"},
                                    {"height", "20px"}});
  doc.Close();
  doc.Layout(200);
  // Paint only a band: nothing outside it is touched.
  doc.Surface.Canvas().Brush().Color = clWhite;
  doc.Surface.Canvas().FillRect(Rect(0, 0, 1000, 1000));
  doc.List.Draw(doc.Surface.Canvas(), Rect(0, 0, 100, 1000), 1000, 0, 0, 0, 0);
  EXPECT_EQ(requests, 2);  // one fetch per picture, shared by the blocks

  const TRect t = tiled->BoxRect;
  for (int x = t.Left; x < t.Left + 16; ++x)
    EXPECT_EQ(doc.Pixel(x, t.Top + 3), (x - t.Left) % 4 < 2 ? clRed : clBlue) << x;
  EXPECT_EQ(doc.Pixel(150, t.Top + 3), clWhite);  // beyond the painted band

  const TRect s = single->BoxRect;
  EXPECT_EQ(doc.Pixel(s.Left + 10, s.Top + 4), clRed);
  EXPECT_EQ(doc.Pixel(s.Left + 12, s.Top + 5), clBlue);
  EXPECT_EQ(doc.Pixel(s.Left + 14, s.Top + 4), clWhite);
  EXPECT_EQ(doc.Pixel(s.Left + 10, s.Top + 6), clWhite);

  const TRect m = masked->BoxRect;
  EXPECT_EQ(doc.Pixel(m.Left + 0, m.Top + 1), clRed);
  EXPECT_EQ(doc.Pixel(m.Left + 2, m.Top + 1), clYellow);  // the colour shows through
}

TEST(Document, FloatsLieOnTopOfBoxesPaintedAfterThem) {
  DocumentBuilder doc;
  auto section = CreateSection(&doc.List, nullptr, *doc.Push("p", {}), nullptr, true);
  auto box = std::make_unique<testing::Box>(50, 80, aLeft);
  box->Owner = &doc.List;
  section->AddObject(std::move(box), 0);
  section->AddText("text", 1);
  doc.Add(std::move(section));
  TBlock* yellow = doc.Open("div", {{"background-color", "yellow"}});
  doc.Text("beside the float");
  doc.Close();
  doc.Layout(400);
  doc.Paint();
  const int y = yellow->BoxRect.Top + 2;
  ASSERT_LT(y, 80);
  EXPECT_EQ(doc.Pixel(20, y), clRed);
  EXPECT_EQ(doc.Pixel(300, y), clYellow);
}

TEST(Document, PositionedBoxesAndZOrder) {
  DocumentBuilder doc;
  TBlock* shifted = doc.Open("div", {{"position", "relative"}, {"left", "20px"}, {"top", "10px"}});
  TSection* shiftedText = doc.Text("shifted");
  doc.Close();
  TBlock* next = doc.Open("div", {});
  doc.Text("next");
  doc.Close();
  TBlock* absolute = doc.Open("div", {{"position", "absolute"}, {"left", "200px"}, {"top", "300px"}, {"z-index", "-1"}});
  doc.Text("placed");
  doc.Close();
  doc.Layout(600);
  EXPECT_EQ(shifted->ContentLeft, 8 + 20);
  EXPECT_EQ(shiftedText->ContentTop, shifted->ContentTop + 10);
  // The next box follows where the shifted one would have stood.
  EXPECT_EQ(next->ContentTop, shifted->ContentTop + shiftedText->SectionHeight);
  EXPECT_EQ(absolute->SectionHeight, 0);
  EXPECT_EQ(absolute->ContentLeft, 200);
  EXPECT_EQ(absolute->ContentY, 300);
  ASSERT_FALSE(doc.Body->DrawList.empty());
  EXPECT_EQ(doc.Body->DrawList.front(), absolute);  // negative z-index paints first
}

// A section whose layout fails inside a block.
class Failing : public TSectionBase {
 public:
  using TSectionBase::TSectionBase;
  int DrawLogic(TCanvas&, int, int, int, int, int, int, IndentManager&, int&, int&) override {
    throw EProcessError("Table has too many Columns");
  }
};

TEST(Document, ASectionDroppedInsideABlockLeavesItsDrawOrder) {
  DocumentBuilder doc;
  TBlock* block = doc.Open("div", {});
  doc.Text("kept");
  block->MyCell->Add(std::make_unique<Failing>(&doc.List));
  doc.Close();
  std::vector<std::string> errors;
  doc.List.OnLayoutError = [&](const std::string& message) { errors.push_back(message); };
  doc.Layout(400);
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(block->MyCell->Count(), 1u);
  EXPECT_EQ(block->DrawList.size(), 1u);
  doc.Paint();
}

TEST(Document, LaysOutAtSeveralWidthsAndAnswersQueries) {
  DocumentBuilder doc;
  doc.Open("h1", {{"font-size", "24pt"}, {"margin-bottom", "10px"}});
  doc.Text("A heading");
  doc.Close();
  doc.Open("p", {{"text-align", "justify"}});
  doc.Text(kLong);
  doc.Close();
  TUrlTarget link;
  link.Update("target.html", "");
  doc.Open("p", {{"text-align", "center"}});
  TSection* linked = doc.Text("a link here");
  TRunFont blue = testing::Font(12, clBlue);
  linked->SetLink(*linked->Fonts.Last(), link, {blue, blue, blue, blue});
  doc.Close();
  const int narrow = doc.Layout(200);
  const int wide = doc.Layout(800);
  EXPECT_GT(narrow, wide);
  doc.Paint();

  int x = 0, y = 0;
  TCanvas& canvas = doc.Surface.Canvas();
  ASSERT_TRUE(doc.List.CursorToXY(canvas, linked->StartCurs + 2, x, y));
  std::unique_ptr<TUrlTarget> url;
  TFormControlObj* control = nullptr;
  std::string title;
  EXPECT_TRUE(doc.List.GetURL(canvas, x + 1, y + 2, url, control, title) & guUrl);
  ASSERT_TRUE(url);
  EXPECT_EQ(url->URL, "target.html");
  int end = 0;
  const int magna = doc.List.FindString(0, "magna", true, end);
  EXPECT_GE(magna, 0);
  EXPECT_EQ(doc.List.FindString(0, "MAGNA", false, end), magna);
  EXPECT_EQ(doc.List.FindDocPos(100000, false), doc.List.Len + 1);

  std::string clipboard;
  SetClipboardWriter([&](const std::string& text) { clipboard = text; });
  doc.List.SelB = linked->StartCurs;
  doc.List.SelE = linked->StartCurs + 6;
  doc.List.CopyToClipboard();
  SetClipboardWriter(nullptr);
  // A centred line is copied behind three blanks per 35 pixels of indent.
  const int blanks = 3 * (linked->Lines()[0].LineIndent / 35);
  EXPECT_EQ(clipboard, std::string(static_cast<std::size_t>(blanks), ' ') + "a link");
}

}  // namespace
}  // namespace lark
