// Layout shapes: one long paragraph, floats before a paragraph, nested
// blocks, summed margins. Each builds its document as the parser will (a box
// made in the cell it joins, content then added to its own cell) and times
// the document's layout alone.
#include <memory>
#include <string>

#include "bench/model_scale/scale_harness.h"
#include "platform/graphics/bitmap.h"
#include "tests/html_layout/layout_fixture.h"
#include "tests/html_layout/scale_document.h"

namespace lark::bench {
namespace {

using testing::ScaleDocument;

const char* const kWords[] = {"the ", "web ", "caf\xC3\xA9 ", "guestbook ", "under ", "construction ", "a ",
                              "hypertext "};

std::string Words(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += kWords[i % 8];
  return text;
}

double TimeLayout(TSectionList& list, int width) {
  static TBitmap surface(800, 600);
  return SecondsOf([&] {
    int scrollWidth = 0, curs = 0;
    list.DoLogic(surface.Canvas(), 0, width, 600, scrollWidth, curs);
  });
}

// n bytes of words in one paragraph.
double LongParagraph(int n) {
  ScaleDocument doc;
  doc.Paragraph(Words(n / 6));
  return TimeLayout(doc.List, 600);
}

// A paragraph that starts with n small floating pictures, left and right,
// of varied heights, then 2,000 words that wait below and beside them.
double FloatsBeforeParagraph(int n) {
  ScaleDocument doc;
  auto paragraph = doc.MakeParagraph();
  for (int i = 0; i < n; ++i)
    paragraph->AddObject(std::make_unique<testing::Box>(4, 4 + i % 97, i % 2 ? aRight : aLeft), 0);
  paragraph->AddText(Words(2000), 0);
  doc.Cell().Add(std::move(paragraph));
  return TimeLayout(doc.List, 600);
}

// n boxes inside one another, each with a few words before the next.
double NestedBlocks(int n) {
  ScaleDocument doc;
  for (int i = 0; i < n; ++i) {
    doc.Paragraph("level text");
    doc.Open("margin-left:1px");
  }
  doc.Paragraph(Words(20));
  return TimeLayout(doc.List, 600);
}

// n boxes one after the other, each with a margin of a million pixels.
double SummedMargins(int n) {
  ScaleDocument doc;
  for (int i = 0; i < n; ++i) {
    doc.Open("margin-top:1000000px");
    doc.Paragraph("a line");
    doc.Close(static_cast<TBlock*>(doc.List.Last()));
  }
  return TimeLayout(doc.List, 600);
}

const int kRegistered[] = {
    RegisterScaleShape("layout: one long paragraph (bytes)", 40000, LongParagraph),
    RegisterScaleShape("layout: floats before a paragraph", 1000, FloatsBeforeParagraph),
    RegisterScaleShape("layout: nested blocks (100)", 100, NestedBlocks),
    RegisterScaleShape("layout: nested blocks (1,000)", 1000, NestedBlocks),
    RegisterScaleShape("layout: nested blocks (10,000)", 10000, NestedBlocks),
    RegisterScaleShape("layout: summed margins", 2200, SummedMargins),
};

}  // namespace
}  // namespace lark::bench
