// Parses the input as an HTML page (and, from the first byte's choice, as
// plain text and as a frameset document), lays the document out at two
// widths and paints it.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "html/section_list.h"
#include "platform/graphics/bitmap.h"
#include "viewer/frameset_parser.h"
#include "viewer/html_parser.h"

namespace {

using namespace lark;

class NoFrames : public TFrameSetBuilder {
 public:
  void InitializeFromAttributes(const TAttributeList&) override {}
  bool AddFrame(const TAttributeList&) override { return true; }
  TFrameSetBuilder* CreateSubFrameSet(const TAttributeList&) override { return this; }
  void Finish() override {}
};

void LayOut(TSectionList& list) {
  static TBitmap surface(640, 480);
  for (const int width : {1024, 200}) {
    int curs = 0, scrollWidth = 0;
    list.DoLogic(surface.Canvas(), 0, width, 480, scrollWidth, curs);
    list.Draw(surface.Canvas(), Rect(0, 0, 640, 480), width, 0, 0, 0, 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TSectionList list(nullptr, nullptr);
  list.OnScript = [](TObject*, const std::string&, const std::string&, const std::string&) {};
  try {
    ParseHTMLDocument(text, list);
  } catch (const EParseError&) {
    // An open comment at the end: what was read stays and is laid out.
  }
  LayOut(list);
  if (size > 0 && data[0] == 'T') {
    TSectionList plain(nullptr, nullptr);
    ParseTextDocument(text.substr(1), plain);
    LayOut(plain);
  }
  if (size > 0 && data[0] == 'F') {
    NoFrames frames;
    try {
      (void)IsFrameSetDocument(text);
      (void)ParseFrameSet(text, frames);
    } catch (const EParseError&) {
    }
  }
  return 0;
}
