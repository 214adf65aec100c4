// Documents at the sizes real pages reach: the work each shape costs is
// counted (measured bytes, widths asked, depth, stack), never timed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "html/attribute_list.h"
#include "html/document_coordinates.h"
#include "html/image_map.h"
#include "html/nesting_limit.h"
#include "html/url_target.h"
#include "layout_fixture.h"
#include "platform/graphics/bitmap.h"
#include "scale_document.h"

namespace lark {
namespace {

using testing::ScaleDocument;

// How many boxes enclose the deepest cell that holds anything, walked with
// a work list.
int DeepestFilledCell(const TCellBasic& top) {
  int deepest = 0;
  std::vector<std::pair<const TCellBasic*, int>> work{{&top, 0}};
  while (!work.empty()) {
    const auto [cell, depth] = work.back();
    work.pop_back();
    if (!cell->Empty()) deepest = std::max(deepest, depth);
    for (const auto& section : *cell)
      if (const auto* block = dynamic_cast<const TBlock*>(section.get()))
        work.emplace_back(block->MyCell.get(), depth + 1);
  }
  return deepest;
}

// A section that notes how far down the stack each walk reaches it.
class StackProbe : public TSectionBase {
 public:
  using TSectionBase::TSectionBase;
  ~StackProbe() override {
    const char here = 0;
    LowestFreed = std::min(LowestFreed, reinterpret_cast<std::uintptr_t>(&here));
  }
  std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override {
    Note();
    return std::make_unique<StackProbe>(masterList);
  }
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override {
    Note();
    return TSectionBase::DrawLogic(canvas, x, y, xRef, yRef, aWidth, aHeight, iMgr, maxWidth, curs);
  }
  int Draw(TCanvas&, const TRect&, IndentManager&, int, int, int) override { return Note(), 0; }
  void MinMaxWidth(TCanvas&, int& min, int& max) override { Note(), min = max = 0; }
  TGuResultType GetURL(TCanvas&, int, int, std::unique_ptr<TUrlTarget>&, TFormControlObj*&, std::string&) override {
    return Note(), 0;
  }
  int FindString(int, const std::string&, bool, int&) override { return Note(), -1; }
  bool CursorToXY(TCanvas&, int, int&, int&) override { return Note(), false; }

  static inline std::uintptr_t Lowest = UINTPTR_MAX;
  static inline std::uintptr_t LowestFreed = UINTPTR_MAX;

 private:
  static void Note() {
    const char here = 0;
    Lowest = std::min(Lowest, reinterpret_cast<std::uintptr_t>(&here));
  }
};

TEST(LayoutScale, DeepNestingStopsAtTheLimitAndEveryWalkStaysOnTheStack) {
  const char top = 0;
  auto doc = std::make_unique<ScaleDocument>();
  for (int i = 0; i < 300000; ++i) doc->Open();
  doc->Paragraph("deep text");
  doc->Cell().Add(std::make_unique<StackProbe>(&doc->List));
  EXPECT_EQ(DeepestFilledCell(doc->List), kMaxNestingDepth);
  EXPECT_EQ(doc->Cell().Depth, kMaxNestingDepth);

  TBitmap surface(400, 300);
  TCanvas& canvas = surface.Canvas();
  int scrollWidth = 0, curs = 0;
  EXPECT_GT(doc->List.DoLogic(canvas, 0, 400, 300, scrollWidth, curs), 0);
  doc->List.Draw(canvas, Rect(0, 0, 400, 300), 400, 0, 0, 0, 0);
  std::unique_ptr<TUrlTarget> target;
  TFormControlObj* control = nullptr;
  std::string title;
  doc->List.GetURL(canvas, 5, 5, target, control, title);
  int end = 0;
  EXPECT_EQ(doc->List.FindString(0, "absent", false, end), -1);
  int x = 0, y = 0;
  doc->List.CursorToXY(canvas, 1 << 20, x, y);

  auto copy = std::make_unique<TSectionList>(doc->List);  // as for printing
  EXPECT_EQ(DeepestFilledCell(*copy), kMaxNestingDepth);
  copy->DoLogic(canvas, 0, 400, 300, scrollWidth, curs);
  copy->Draw(canvas, Rect(0, 0, 400, 300), 400, 0, 0, 0, 0);
  copy.reset();
  doc.reset();

  // The deepest walk must leave most of an 8 MB main-thread stack free,
  // also in the unoptimised sanitizer build.
  ASSERT_NE(StackProbe::Lowest, UINTPTR_MAX);
  EXPECT_LT(reinterpret_cast<std::uintptr_t>(&top) - StackProbe::Lowest, 4u << 20);
  // Freeing goes through a work list: the deepest section is freed near
  // the top of the stack, not 256 destructors down.
  EXPECT_LT(reinterpret_cast<std::uintptr_t>(&top) - StackProbe::LowestFreed, 16u << 10);
}

// Words of several lengths, some of them two-byte UTF-8.
std::string Words(int bytes) {
  static const char* const kWords[] = {"the ", "caf\xC3\xA9 ", "guestbook ", "a ", "construction ", "na\xC3\xAFve "};
  std::string text;
  for (int i = 0; text.size() < static_cast<std::size_t>(bytes); ++i) text += kWords[i % 6];
  return text;
}

TEST(LayoutScale, ALongParagraphMeasuresEachByteAboutOnce) {
  for (const int bytes : {10000, 40000}) {
    testing::LaidOutDocument doc;
    TSection* paragraph = doc.Paragraph(Words(bytes));
    doc.Layout(300);
    const std::size_t lines = paragraph->Lines().size();
    ASSERT_GT(lines, 100u);
    // Measuring the rest of the paragraph for each line would be about
    // bytes * lines / 2; forward measuring stays near the text's length.
    EXPECT_LE(paragraph->MeasuredBytes(), 2u * paragraph->Text().size()) << bytes;
    // Every line but the last is full: nothing measured cut a word short.
    for (std::size_t i = 0; i + 1 < lines; ++i) EXPECT_GT(paragraph->Lines()[i].Ln, 20) << i;
  }
}

TEST(LayoutScale, LinesWaitingBelowManyFloatsAreNotMeasuredAgain) {
  testing::LaidOutDocument doc;
  auto paragraph = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, testing::Font(12), "");
  // 300 floats piled far past the width: the first line moves down past
  // each of their 300 bottoms in turn before any text fits.
  for (int i = 0; i < 300; ++i)
    paragraph->AddObject(std::make_unique<testing::Box>(20, 1 + i, i % 2 ? aRight : aLeft), 0);
  paragraph->AddText(Words(5000), 0);
  TSection* raw = paragraph.get();
  doc.List.Add(std::move(paragraph));
  doc.Layout(300);
  ASSERT_GT(raw->Lines().size(), 300u);  // the spacers, then the text
  EXPECT_LE(raw->MeasuredBytes(), 2u * raw->Text().size());
}

// A section that counts how often its widths are computed.
class WidthCounter : public TSectionBase {
 public:
  using TSectionBase::TSectionBase;
  void MinMaxWidth(TCanvas&, int& min, int& max) override {
    ++Computed;
    min = 50;
    max = 120;
  }
  int Computed = 0;
};

TEST(LayoutScale, NestedBlocksComputeEachSectionsWidthsOncePerLayout) {
  ScaleDocument doc;
  std::vector<TBlock*> blocks;
  for (int i = 0; i < 100; ++i) blocks.push_back(doc.Open());
  auto counter = std::make_unique<WidthCounter>(&doc.List);
  WidthCounter* raw = counter.get();
  doc.Cell().Add(std::move(counter));
  TBitmap surface(400, 300);
  int scrollWidth = 0, curs = 0;
  doc.List.DoLogic(surface.Canvas(), 0, 400, 300, scrollWidth, curs);
  EXPECT_EQ(raw->Computed, 1);  // asked by each of the 100 boxes around it
  doc.List.DoLogic(surface.Canvas(), 0, 400, 300, scrollWidth, curs);
  EXPECT_EQ(raw->Computed, 2);  // a new layout measures afresh
  int min = 0, max = 0;
  blocks.front()->MinMaxWidth(surface.Canvas(), min, max);
  EXPECT_EQ(min, 50);
  EXPECT_EQ(raw->Computed, 3);  // outside layout nothing is cached
}

// The floats' edges against a plain scan of every band, with queries in any
// order and floats taken back as a failed layout does.
TEST(LayoutScale, ManyFloatsAnswerLikeAScanOfThemAll) {
  IndentManager iMgr;
  iMgr.Reset(0, 1000);
  std::vector<IndentRec> left;
  unsigned seed = 7;
  auto next = [&seed](unsigned range) {
    seed = seed * 1103515245 + 12345;
    return static_cast<int>((seed >> 8) % range);
  };
  auto check = [&](int y) {
    int expected = 0, bottom = y;
    for (const IndentRec& rec : left) {
      if (rec.YT <= y && y < rec.YB) expected = std::max(expected, rec.X);
      if (rec.YB > y && (bottom == y || rec.YB < bottom)) bottom = rec.YB;
    }
    EXPECT_EQ(iMgr.LeftIndent(y), expected) << y;
    EXPECT_EQ(iMgr.GetNextWiderY(y), bottom) << y;
  };
  IndentManagerBasic::TState half{};
  for (int i = 0; i < 2000; ++i) {
    if (i == 1000) half = iMgr.SaveState();
    const int y = next(5000), x = 1 + next(400), height = 1 + next(300);
    iMgr.AddFloatBlock(y, x, height, TFloatSide::Left);
    left.push_back({x, y, y + height, nullptr, true});
  }
  for (int i = 0; i < 300; ++i) check(next(5600) - 100);
  iMgr.RestoreState(half);
  left.resize(1000);
  for (int i = 0; i < 300; ++i) check(next(5600) - 100);
  EXPECT_EQ(iMgr.ImageBottom(), std::max_element(left.begin(), left.end(), [](auto& a, auto& b) {
                                  return a.YB < b.YB;
                                })->YB);
}

// Lengths are clamped one by one; their sums saturate at the document
// limit instead of wrapping (run under UBSan in the sanitizer build).
TEST(LayoutScale, SummedGeometrySaturatesAtTheDocumentLimit) {
  TBitmap surface(400, 300);
  TCanvas& canvas = surface.Canvas();
  int scrollWidth = 0, curs = 0;
  std::unique_ptr<TUrlTarget> target;
  TFormControlObj* control = nullptr;
  std::string title;

  ScaleDocument margins;
  for (int i = 0; i < 2200; ++i) margins.Close(margins.Open("margin-top:1000000px;margin-bottom:1000000px"));
  TSection* last = margins.Paragraph("after the margins");
  const int height = margins.List.DoLogic(canvas, 0, 400, 300, scrollWidth, curs);
  EXPECT_EQ(height, kMaxDocumentCoordinate);
  EXPECT_GT(last->YValue, 1000000);
  margins.List.YOff = kMaxDocumentCoordinate - 100;
  margins.List.Draw(canvas, Rect(0, 0, 400, 300), 400, 0, 0, 0, 0);
  margins.List.GetURL(canvas, 5, kMaxDocumentCoordinate - 10, target, control, title);

  ScaleDocument nested;
  for (int i = 0; i < 3000; ++i)
    nested.Open("margin:1000000px;padding:1000000px;border-style:solid;border-width:1000000px;"
                "position:relative;left:-1000000px;top:1000000px");
  TSection* deep = nested.Paragraph("deep words");
  auto floating = std::make_unique<testing::Box>(1000000, 1000000, aLeft);
  deep->AddObject(std::move(floating), 0);
  nested.List.DoLogic(canvas, 0, 400, 300, scrollWidth, curs);
  ASSERT_FALSE(deep->Lines().empty());
  EXPECT_GT(deep->Lines().front().Y, 1000000);
  EXPECT_LE(deep->Lines().front().Y, kMaxDocumentCoordinate);
  nested.List.Draw(canvas, Rect(0, 0, 400, 300), 400, 0, 0, 0, 0);
  nested.List.GetURL(canvas, 5, 5, target, control, title);
  int x = 0, y = 0;
  nested.List.CursorToXY(canvas, 3, x, y);
  auto copy = std::make_unique<TSectionList>(nested.List);
  copy->DoLogic(canvas, 0, 400, 300, scrollWidth, curs);
  copy->Draw(canvas, Rect(0, 0, 400, 300), 400, 0, 0, 0, 0);
}

TEST(LayoutScale, ImageMapCoordsNearTheIntLimitsHitTest) {
  TMapItem map;
  const std::string max = std::to_string(INT32_MAX), min = std::to_string(INT32_MIN);
  const std::pair<const char*, std::string> areas[] = {
      {"circle", max + "," + max + "," + max},
      {"rect", min + "," + min + "," + max + "," + max},
      {"poly", min + ",0," + max + ",0," + max + "," + max + "," + min + "," + max},
  };
  for (const auto& [shape, coords] : areas) {
    TAttributeList area;
    area.Add(std::make_unique<TAttribute>(ShapeSy, 0, shape));
    area.Add(std::make_unique<TAttribute>(CoordsSy, 0, coords));
    area.Add(std::make_unique<TAttribute>(HrefSy, 0, shape));
    map.AddArea(area);
  }
  ASSERT_EQ(map.Areas.size(), 3u);
  std::unique_ptr<TUrlTarget> target;
  ASSERT_TRUE(map.GetURL(5, 5, target));
  EXPECT_EQ(target->URL, "rect");  // the huge circle lies far off to the lower right
  ASSERT_TRUE(map.GetURL(-100000000, -100000000, target));  // far out, still inside
  EXPECT_EQ(target->URL, "rect");
}

}  // namespace
}  // namespace lark
