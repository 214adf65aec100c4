#pragma once

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "print/metafile_printer.h"
#include "tests/html_viewer/viewer_fixture.h"
#include "tests/print/print_fixtures.h"

namespace lark::test {

// A word pdftotext -bbox found, in points from the page's top left corner.
struct PdfWord {
  int Page = 0;  // 1-based
  double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
  std::string Text;
};

inline std::vector<PdfWord> PdfWords(const std::string& file) {
  const std::string html = CommandOutput("pdftotext -bbox '" + file + "' - 2>/dev/null");
  std::vector<PdfWord> words;
  int page = 0;
  static const std::regex token(
      R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  for (std::sregex_iterator it(html.begin(), html.end(), token), end; it != end; ++it) {
    if ((*it)[0].str() == "<page ") {
      ++page;
      continue;
    }
    words.push_back({page, std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3]), std::stod((*it)[4]),
                     (*it)[5]});
  }
  return words;
}

// The words of a text in order.
inline std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// The words a preview page recorded, in the order they were drawn.
inline std::vector<std::string> RecordedWords(const TMetafile& page) {
  std::string text;
  for (int i = 0; i < page.RecordCount(); ++i) {
    const TMetafileRecord record = page.Record(i);
    if (record.RecordKind == TMetafileRecord::Kind::Text) text += record.Text + " ";
  }
  return Words(text);
}

// The share of pixels (0..1) whose channels differ by more than tolerance.
inline double DifferentShare(const TBitmap& a, const TBitmap& b, int tolerance) {
  int different = 0;
  const int width = std::min(a.Width(), b.Width()), height = std::min(a.Height(), b.Height());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TColor p = a.Pixel(x, y), q = b.Pixel(x, y);
      if (std::abs(GetRValue(p) - GetRValue(q)) > tolerance || std::abs(GetGValue(p) - GetGValue(q)) > tolerance ||
          std::abs(GetBValue(p) - GetBValue(q)) > tolerance)
        ++different;
    }
  return width > 0 && height > 0 ? double(different) / (width * height) : 1;
}

// A viewer on a form, with the PDF printer as the program's printer and a
// preview store.
class PrintPassTest : public ViewerTest {
 protected:
  [[nodiscard]] std::string PdfFile() { return pdf_.Pdf().OutputFileName; }
  [[nodiscard]] std::string PdfText(const std::string& options = "") {
    return CommandOutput("pdftotext " + options + " '" + PdfFile() + "' - 2>/dev/null");
  }
  // "Line 0" ... "Line n-1", one paragraph each.
  static std::string NumberedLines(int count) {
    std::string html = "<html><head><title>Numbered lines</title></head><body>";
    for (int i = 0; i < count; ++i) html += "<p>Line " + std::to_string(i) + "</p>";
    return html;
  }

  TempDir dir_;
  PdfProgramPrinter pdf_;
  TMetaFilePrinter store_{nullptr};
};

}  // namespace lark::test
