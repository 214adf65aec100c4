// Builds a document from the input through the model (boxes with hostile
// styles nested without end, paragraphs of raw bytes, font changes,
// floating and inline objects), lays it out at two widths and paints it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "layout_fixture.h"
#include "platform/graphics/bitmap.h"
#include "scale_document.h"

namespace {

using namespace lark;

const char* const kStyles[] = {
    "",
    "float:left;width:30px",
    "float:right;height:20px;margin:3px",
    "margin-top:-1000000px;margin-bottom:1000000px",
    "margin:1000000px;padding:1000000px",
    "padding:7px;border-style:solid;border-width:3px;background-color:red",
    "position:relative;left:-5px;top:1000000px",
    "position:absolute;left:10px;top:-20px;z-index:-2",
    "clear:both",
    "display:none",
    "width:50%",
    "margin-left:auto;margin-right:auto;width:100px",
    "page-break-before:always;page-break-after:always",
    "visibility:hidden;height:1000000px",
    "float:left;margin-left:-1000000px;width:1000000px",
    "text-indent:90%;line-height:1000000px",
};

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  [[nodiscard]] bool More() const { return pos_ < size_; }
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::string Bytes(std::size_t n) {
    n = std::min(n, size_ - pos_);
    std::string text(reinterpret_cast<const char*>(data_ + pos_), n);
    pos_ += n;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

int Signed(std::uint8_t b) { return b < 200 ? b * 3 : (b - 200) * 20000 - 500000; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using testing::Box;
  Reader in(data, size);
  testing::ScaleDocument doc;
  std::vector<TBlock*> open;
  std::unique_ptr<TSection> paragraph;
  auto flush = [&] {
    if (paragraph) doc.Cell().Add(std::move(paragraph));
  };
  auto current = [&]() -> TSection& {
    if (!paragraph) paragraph = doc.MakeParagraph();
    return *paragraph;
  };
  while (in.More()) {
    const std::uint8_t op = in.Byte();
    switch (op % 7) {
      case 0:
        flush();
        open.push_back(doc.Open(kStyles[in.Byte() % std::size(kStyles)]));
        break;
      case 1:
        flush();
        if (!open.empty()) {
          doc.Close(open.back());
          open.pop_back();
        }
        break;
      case 2: current().AddText(in.Bytes(in.Byte() % 64), 0); break;
      case 3: {
        const std::uint8_t b = in.Byte();
        current().AddFont(testing::Font(1 + b % 40, clBlack, b & 1 ? "Arial" : "Courier New", b >> 6 ? 0 : 204), "");
        break;
      }
      case 4:
      case 5: {
        const std::uint8_t kind = in.Byte();
        const TAlignmentKind align = op % 7 == 4 ? (kind & 1 ? aLeft : aRight)
                                                 : static_cast<TAlignmentKind>(kind % 4 == 0 ? aTop
                                                                               : kind % 4 == 1 ? aMiddle
                                                                               : kind % 4 == 2 ? aBottom
                                                                                               : aBaseline);
        current().AddObject(std::make_unique<Box>(Signed(in.Byte()), Signed(in.Byte()), align), 0);
        break;
      }
      default: flush(); break;
    }
  }
  flush();

  TBitmap surface(200, 150);
  TCanvas& canvas = surface.Canvas();
  for (const int width : {400, 37}) {
    int scrollWidth = 0, curs = 0;
    const int height = doc.List.DoLogic(canvas, 0, width, 150, scrollWidth, curs);
    for (const int yOff : {0, height / 2}) {
      doc.List.YOff = yOff;
      doc.List.Draw(canvas, Rect(0, 0, 200, 150), width, 0, 0, 0, 0);
    }
    std::unique_ptr<TUrlTarget> target;
    TFormControlObj* control = nullptr;
    std::string title;
    doc.List.GetURL(canvas, 10, 10, target, control, title);
  }
  return 0;
}
