// Loads the input into a viewer and previews it on a 200 x 300 test page:
// the pass ends, and it never makes more pages than the document has
// pixels (each page moves the cut down by at least one).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "html/section_list.h"
#include "platform/graphics/printer.h"
#include "print/metafile_printer.h"
#include "tests/support/fuzz_viewer.h"

using namespace lark;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  test::StartFuzzApplication();
  TDeviceCaps caps;
  caps.LogPixelsX = caps.LogPixelsY = 96;
  caps.PhysicalWidth = caps.HorzRes = 200;
  caps.PhysicalHeight = caps.VertRes = 300;
  SetPrinter(std::make_unique<TTestPrinter>(caps));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  THTMLViewer& viewer = test::FuzzViewer(200, 300);
  viewer.PrintMarginLeft = viewer.PrintMarginRight = viewer.PrintMarginTop = viewer.PrintMarginBottom = 0.3;
  test::LoadFuzzInput(viewer, data, size);
  // The layout width differs from the screen's; this bounds what it can be.
  const std::int64_t tallest = std::int64_t{viewer.ScrollHeight()} * 100 + 1000;
  TMetaFilePrinter store(nullptr);
  int last = 0;
  viewer.OnPageEvent = [&](TObject*, int page, bool& stop) {
    if (page > tallest) std::abort();
    last = page;
    stop = false;
  };
  const int pages = viewer.PrintPreview(store);
  if (pages != store.PageCount() || (viewer.SectionList().Count() > 0 && (pages < 1 || last != pages))) std::abort();
  Application()->ProcessMessages();
  return 0;
}
