// Loads the input into a viewer on a shown form, lays it out at two widths,
// paints it and takes the scroll position through a width change and back;
// then finds text, selects and copies everything, and reads the words under
// points taken from the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "html/text_collector.h"
#include "viewer/paint_panel.h"
#include "tests/support/fuzz_viewer.h"

using namespace lark;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  test::StartFuzzApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  THTMLViewer& viewer = test::FuzzViewer(700, 300);
  test::LoadFuzzInput(viewer, data, size);
  viewer.ScrollTo(viewer.ScrollHeight() / 3);
  const TViewerPosition position = viewer.GetPosition();
  viewer.SetBounds(0, 0, 200, 300);
  viewer.PaintPanel().Update();
  viewer.SetBounds(0, 0, 700, 300);
  viewer.PaintPanel().Update();
  if (viewer.GetPosition() != position && viewer.VScrollBarPosition() < viewer.ScrollHeight() - 400) std::abort();
  // Find, select all, copy to a capturing writer: never past the buffer.
  static std::string copied;
  SetClipboardWriter([](const std::string& text) { copied = text; });
  const std::string needle = size > 3 ? std::string(reinterpret_cast<const char*>(data) + size / 2, 2) : "a";
  // Each match moves the caret on, so the finds end.
  for (int n = 0; n < 1000 && viewer.Find(needle, size % 2 == 0); ++n)
    if (viewer.CaretPos() <= viewer.SelStart()) std::abort();
  viewer.SelectAll();
  try {
    viewer.CopyToClipboard();
    if (copied.size() > 32499) std::abort();
  } catch (const EBufferTooSmall&) {
  }
  for (std::size_t i = 0; i + 1 < size && i < 64; i += 2) {
    int first = 0, end = 0;
    if (viewer.WordAt(data[i] * 3, data[i + 1], first, end) && end <= first) std::abort();
  }
  Application()->ProcessMessages();
  return 0;
}
