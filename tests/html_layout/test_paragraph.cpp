#include <gtest/gtest.h>

#include "html/parser_state.h"
#include "html/section_style.h"
#include "html/text_collector.h"
#include "html/url_target.h"
#include "layout_fixture.h"
#include "platform/core/code_page.h"

namespace lark {
namespace {

using testing::Box;
using testing::Font;
using testing::LaidOutDocument;

std::string Finished(TSection& section) {
  section.Finish();
  return section.Text();
}

TEST(ParagraphFinish, CollapsesBlanksAndKeepsTheNonBreakingOne) {
  TSectionList list(nullptr, nullptr);
  TSection plain(&list, {}, Font(12), "");
  plain.AddText("  a  b \x08 c\x05" "d ", 0);
  EXPECT_EQ(Finished(plain), "a b\x08" "c d ");
  EXPECT_EQ(plain.BreakFlags()[5], 'n');  // the former non-breaking space

  TSection nobr(&list, {}, Font(12), "");
  nobr.AddChar('a', 0);
  ParserState().NoBreak = true;  // inside NOBR
  nobr.AddChar(' ', 1);
  ParserState().NoBreak = false;
  nobr.AddText(" b", 2);
  EXPECT_EQ(Finished(nobr), "a b");
  EXPECT_EQ(nobr.BreakFlags()[1], 'n');
}

TEST(ParagraphFinish, RemovesSoftHyphensOnlyWhereTheRunReadsOne) {
  TSectionList list(nullptr, nullptr);
  TSection utf8(&list, {}, Font(12), "");
  utf8.AddText("ex\xC2\xAD" "am\xAD" "ple r\xC3\xAD" "o", 0);
  EXPECT_EQ(Finished(utf8), "example r\xC3\xAD" "o");
  TSection mac(&list, {}, Font(12, clBlack, "Arial", MAC_CHARSET), "");
  mac.AddText("a\xAD" "b", 0);  // "not equal" in Mac Roman
  EXPECT_EQ(Finished(mac), "a\xAD" "b");
}

TEST(ParagraphFinish, EmptyParagraphsLeaveTheirCellUnlessTheyMatter) {
  TSectionList list(nullptr, nullptr);
  auto blank = std::make_unique<TSection>(&list, TParagraphStyle{}, Font(12), "");
  blank->AddText("   ", 0);
  list.Add(std::move(blank));
  EXPECT_EQ(list.Count(), 0u);

  auto anchored = std::make_unique<TSection>(&list, TParagraphStyle{}, Font(12), "");
  anchored->HasAnchor = true;
  list.Add(std::move(anchored));
  TParagraphStyle clearing;
  clearing.ClearAttr = ClearBothSides;
  list.Add(std::make_unique<TSection>(&list, clearing, Font(12), ""));
  list.Add(std::make_unique<TPreFormated>(&list, TParagraphStyle{}, Font(12), ""));
  EXPECT_EQ(list.Count(), 3u);
}

const std::string kText =
    "The quick brown fox jumps over the lazy dog while the five boxing wizards jump quickly "
    "and a wizard's job is to vex chumps quickly in fog.";

void ExpectLinesCoverTheText(const TSection& section) {
  int next = 0;
  for (const LineRec& line : section.Lines()) {
    if (line.Ln == 0) continue;
    EXPECT_EQ(line.Start, next);
    next = line.Start + line.Ln;
  }
  EXPECT_EQ(next, static_cast<int>(section.Text().size()));
}

TEST(ParagraphLayout, WrapsWithinTheWidthAtEveryWidth) {
  for (int width : {120, 300, 800}) {
    LaidOutDocument doc;
    TSection* p = doc.Paragraph(kText);
    doc.Layout(width);
    ExpectLinesCoverTheText(*p);
    EXPECT_LE(doc.ScrollWidth, width);
    if (width == 800) {
      EXPECT_EQ(p->Lines().size(), 2u);
    }
    if (width == 120) {
      EXPECT_GT(p->Lines().size(), 6u);
    }
  }
}

TEST(ParagraphLayout, AlignmentAndJustification) {
  TParagraphStyle style;
  style.Justify = TJustify::FullJustify;
  LaidOutDocument doc;
  TSection* p = doc.Paragraph(kText, style);
  TParagraphStyle right;
  right.Justify = TJustify::Right;
  TSection* r = doc.Paragraph("short", right);
  doc.Layout(300);
  const auto& lines = p->Lines();
  ASSERT_GT(lines.size(), 2u);
  for (std::size_t k = 0; k + 1 < lines.size(); ++k) EXPECT_GT(lines[k].Spaces, 0);
  EXPECT_EQ(lines.back().Extra, 0);  // the last line is not justified
  EXPECT_EQ(lines.back().Spaces, 0);
  EXPECT_GT(r->Lines()[0].LineIndent, 200);

  // A justified line without blanks is left alone.
  LaidOutDocument one;
  TSection* word = one.Paragraph("Supercalifragilisticexpialidocious Supercalifragilistic", style);
  one.Layout(150);
  for (const LineRec& line : word->Lines()) EXPECT_EQ(line.Spaces == 0, line.Extra == 0);
  one.Paint();
}

TEST(ParagraphLayout, AnOverlongWordOverflowsAndWidensTheDocument) {
  LaidOutDocument doc;
  TSection* p = doc.Paragraph("a Pneumonoultramicroscopicsilicovolcanoconiosis b");
  doc.Layout(100);
  ExpectLinesCoverTheText(*p);
  EXPECT_GT(doc.ScrollWidth, 100);
}

TEST(ParagraphLayout, AlwaysAdvancesWhenNothingFits) {
  TParagraphStyle style;
  style.TextIndent = 5000;  // wider than the room
  LaidOutDocument doc;
  TSection* p = doc.Paragraph("abc def", style);
  doc.Layout(100);
  ExpectLinesCoverTheText(*p);
  EXPECT_LE(p->Lines().size(), 7u);
}

TEST(ParagraphLayout, QuickFitLooksAtEveryRun) {
  LaidOutDocument doc;
  auto section = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, Font(6), "");
  section->AddText("iiii ", 0);
  section->AddFont(Font(48), "");
  section->AddText("WWWW WWWW", 5);
  TSection* p = section.get();
  doc.List.Add(std::move(section));
  doc.Layout(300);
  EXPECT_GT(p->Lines().size(), 1u);
}

TEST(ParagraphLayout, DoubleByteCharactersAreNeverSplit) {
  LaidOutDocument doc;
  std::string text;
  for (int k = 0; k < 40; ++k) text += k % 2 ? "\xE0\x40" : "\xFC\x40";  // leads from the upper range
  TSection* p = doc.Paragraph(text, {}, Font(12, clBlack, "Arial", SHIFTJIS_CHARSET));
  doc.Layout(90);
  ASSERT_GT(p->Lines().size(), 2u);
  for (const LineRec& line : p->Lines()) EXPECT_EQ(line.Start % 2, 0) << line.Start;
  ExpectLinesCoverTheText(*p);
}

TEST(ParagraphLayout, TextFlowsAroundALeftFloatAndClearStartsBelowIt) {
  LaidOutDocument doc;
  auto section = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, Font(12), "");
  auto box = std::make_unique<Box>(100, 60, aLeft);
  box->Owner = &doc.List;
  Box* raw = static_cast<Box*>(section->AddObject(std::move(box), 0));
  section->AddText("beside the float", 1);
  doc.List.Add(std::move(section));
  TParagraphStyle clearing;
  clearing.ClearAttr = ClearLeftSide;
  TSection* below = doc.Paragraph("below", clearing);
  doc.Layout(400);
  TSection* beside = static_cast<TSection*>(doc.List.Items(0));
  EXPECT_EQ(beside->Lines()[0].LineIndent, 106);
  EXPECT_EQ(beside->DrawHeight, 60);
  const LineRec& first = below->Lines()[1];
  EXPECT_EQ(first.Y, 60);  // the first Y the float no longer covers
  EXPECT_EQ(first.LineIndent, 0);
  doc.Paint();
  EXPECT_EQ(doc.Surface.Pixel(50, 30) & 0xFFFFFF, clRed);
  EXPECT_EQ(raw->DrawXX, 3);
}

TEST(ParagraphLayout, AnImageRaisesItsLine) {
  LaidOutDocument doc;
  auto section = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, Font(12), "");
  section->AddText("x ", 0);
  section->AddObject(std::make_unique<Box>(20, 40, aBaseline), 2);
  TSection* p = section.get();
  doc.List.Add(std::move(section));
  auto alone = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, Font(12), "");
  alone->AddObject(std::make_unique<Box>(20, 40, aBaseline), 0);
  TSection* q = alone.get();
  doc.List.Add(std::move(alone));
  doc.Layout(400);
  const LineRec& line = p->Lines()[0];
  EXPECT_EQ(line.SpaceBefore, 40 - (line.LineHt - line.Descent));
  EXPECT_EQ(q->Lines()[0].SpaceBefore, 40);
  EXPECT_EQ(q->Lines()[0].LineHt, 0);
}

// Runs live inside the paragraph and then in blocks; the document lists
// link runs by address, so none may move while runs come and go.
TEST(ParagraphRuns, KeepTheirPlacesWhileRunsAreAddedAndDropped) {
  LaidOutDocument doc;
  auto section = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, Font(12), "");
  TUrlTarget target;
  target.Update("next.html", "");
  section->AddText("Hi ", 0);
  std::vector<TFontObj*> links;
  for (int i = 0; i < 40; ++i) {
    TFontObj* link = section->AddFont(Font(12, clBlue), "");
    section->SetLink(*link, target, {Font(12, clBlue), Font(12, clPurple), Font(12, clRed), Font(12, clRed)});
    links.push_back(link);
    // Every fifth link holds only a doubled blank, which Finish deletes.
    section->AddText(i % 5 == 4 ? " " : "w ", 0);
  }
  // A link that no text came to gives its place, and its listing, to the
  // run after it.
  TFontObj* unused = section->AddFont(Font(12, clBlue), "");
  section->SetLink(*unused, target, {Font(12, clBlue), Font(12, clPurple), Font(12, clRed), Font(12, clRed)});
  section->AddFont(Font(12), "");
  section->AddText("end", 0);
  section->Finish();
  std::vector<const TObject*> kept;
  for (int i = 0; i < 40; ++i)
    if (i % 5 != 4) kept.push_back(links[static_cast<std::size_t>(i)]);
  // The dropped runs left the document's list; the others are where they were.
  EXPECT_EQ(std::vector<const TObject*>(doc.List.LinkList.begin(), doc.List.LinkList.end()), kept);
  ASSERT_EQ(section->Fonts.Count(), kept.size() + 2);  // and the runs before and after them
  for (std::size_t i = 1; i <= kept.size(); ++i) {
    EXPECT_EQ(section->Fonts[i], kept[i - 1]);
    EXPECT_EQ(section->Fonts[i]->Pos, static_cast<int>(1 + 2 * i));
  }
  section.reset();
  EXPECT_EQ(doc.List.LinkList.size(), 0u);
}

TEST(ParagraphQueries, LinksCaretFindAndCopy) {
  LaidOutDocument doc;
  auto section = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, Font(12), "");
  section->AddText("Hello ", 0);
  TFontObj* link = section->AddFont(Font(12, clBlue), "tip");
  TUrlTarget target;
  target.Update("next.html", "main");
  section->SetLink(*link, target, {Font(12, clBlue), Font(12, clPurple), Font(12, clRed), Font(12, clRed)});
  section->AddText("wide world", 6);
  section->AddFont(Font(12), "");
  section->AddText(" and more text here", 16);
  TSection* p = section.get();
  doc.List.Add(std::move(section));
  doc.Layout(120);
  doc.Paint();
  TCanvas& canvas = doc.Surface.Canvas();

  int x = 0, y = 0;
  ASSERT_TRUE(p->CursorToXY(canvas, 7, x, y));
  std::unique_ptr<TUrlTarget> url;
  TFormControlObj* control = nullptr;
  std::string title;
  const TGuResultType hit = doc.List.GetURL(canvas, x + 2, y + 3, url, control, title);
  EXPECT_EQ(hit, unsigned(guUrl | guTitle));
  ASSERT_TRUE(url);
  EXPECT_EQ(url->URL, "next.html");
  EXPECT_EQ(title, "tip");
  EXPECT_EQ(doc.List.ActiveLink, link);
  EXPECT_EQ(doc.List.GetURL(canvas, 1, 500, url, control, title), 0u);
  EXPECT_EQ(doc.List.ActiveLink, nullptr);

  int xr = 0, yr = 0, caretHt = 0;
  bool inText = false;
  EXPECT_EQ(p->FindCursor(canvas, x + 1, y + 3, xr, yr, caretHt, inText), 7);
  EXPECT_TRUE(inText);
  EXPECT_EQ(xr, x);
  int end = 0;
  EXPECT_EQ(p->FindString(0, "WORLD", false, end), 11);
  EXPECT_EQ(end, 16);
  EXPECT_EQ(p->FindString(0, "WORLD", true, end), -1);
  EXPECT_EQ(p->FindString(12, "world", false, end), -1);

  std::string clipboard;
  SetClipboardWriter([&](const std::string& text) { clipboard = text; });
  doc.List.SelB = 0;
  doc.List.SelE = doc.List.Len;
  doc.List.CopyToClipboard();
  SetClipboardWriter(nullptr);
  EXPECT_NE(clipboard.find("Hello wide"), std::string::npos);
  EXPECT_NE(clipboard.find("\r\n"), std::string::npos);
  EXPECT_EQ(clipboard.size(), p->Text().size() + 2 * p->Lines().size());  // every line ends with CR LF
}

TEST(ParagraphDrawing, SelectionIsInvertedAndSuperscriptIsRaised) {
  LaidOutDocument doc;
  auto section = std::make_unique<TSection>(&doc.List, TParagraphStyle{}, Font(20), "");
  section->AddText("MM", 0);
  section->AddFont(Font(20), "", TScript::Super);
  section->AddText("MM", 2);
  TSection* p = section.get();
  doc.List.Add(std::move(section));
  doc.Layout(400);
  doc.List.SelB = 0;
  doc.List.SelE = 1;
  doc.Paint();
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  TCanvas& canvas = doc.Surface.Canvas();
  ASSERT_TRUE(p->CursorToXY(canvas, 1, x1, y1));
  ASSERT_TRUE(p->CursorToXY(canvas, 0, x0, y0));
  ASSERT_TRUE(p->CursorToXY(canvas, 2, x2, y2));
  const LineRec& line = p->Lines()[0];
  // The selected "M" stands on a black background.
  EXPECT_EQ(doc.Surface.Pixel(x0 + 1, y0 + 1) & 0xFFFFFF, clBlack);
  // Ink of the raised run reaches higher than the plain run's.
  auto topInk = [&](int left, int right) {
    for (int yy = 0; yy < line.Y + line.Height(); ++yy)
      for (int xx = left; xx < right; ++xx)
        if ((doc.Surface.Pixel(xx, yy) & 0xFFFFFF) != clWhite) return yy;
    return 1000;
  };
  EXPECT_LT(topInk(x2, x2 + 20), topInk(x1, x2));
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

TEST(ParagraphStyle, RunsFollowTheParsersScriptState) {
  TSectionList list(nullptr, nullptr);
  TProperties props;
  props.AddPropertyByName("font-family", "Arial");
  props.SetProp(css::FontSize, 10.0);
  props.AddPropertyByName("text-align", "Justify");
  props.AddPropertyByName("clear", "left");
  auto section = CreateSection(&list, nullptr, props, nullptr, true);
  EXPECT_EQ(section->Style.Justify, TJustify::FullJustify);
  EXPECT_EQ(section->Style.ClearAttr, ClearLeftSide);
  section->AddText("x", 0);
  ParserState().SScript = TScriptState::Superscript;
  TFontObj* raised = ChangeFont(*section, props, nullptr);
  ParserState().SScript = TScriptState::Normal;
  EXPECT_EQ(raised->SScript, TScript::Super);
  EXPECT_EQ(raised->Pos, 1);
  EXPECT_EQ(raised->Font().Size(), 10);
}

}  // namespace
}  // namespace lark

namespace lark {
namespace {

TEST(ParagraphLayout, AnEmptyPreformattedLineIsAsTallAsItsFontsPointSize) {
  testing::LaidOutDocument doc;
  doc.List.Add(std::make_unique<TPreFormated>(&doc.List, TParagraphStyle{}, testing::Font(15), ""));
  EXPECT_EQ(doc.Layout(400), 15);
}

TEST(ParagraphDrawing, APrintedLineThatWouldBeCutStartsTheNextPage) {
  testing::LaidOutDocument doc;
  doc.Paragraph("one");
  TSection* second = doc.Paragraph("two");
  doc.Layout(400);
  TSectionList copy(doc.List);
  int scrollWidth = 0, curs = 0;
  copy.DoLogic(doc.Surface.Canvas(), 0, 400, 1000, scrollWidth, curs);
  const int lineTop = second->Lines()[0].Y;
  const int pageHeight = lineTop + 5;  // the page ends inside the second line
  copy.Draw(doc.Surface.Canvas(), Rect(0, 0, 400, pageHeight), 400, 0, 0, 0, 0);
  EXPECT_EQ(copy.PageBottom, lineTop);
}

}  // namespace
}  // namespace lark
