#include "tests/app_main/preview_view_check.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/print_preview_form.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/panel.h"
#include "platform/windows/test_driver.h"
#include "print/metafile_printer.h"

namespace lark::test {

double ViewMismatch(TfrmPreview& preview) {
  const TMetaFilePrinter& store = preview.Store();
  const TRect box = preview.PageBox(false);
  const int width = preview.PB1->Width(), height = preview.PB1->Height();
  TBitmap expected;
  expected.SetSize(width, height);
  TCanvas& canvas = expected.Canvas();
  canvas.Brush().Color = clWhite;
  canvas.FillRect({0, 0, width, height});
  SetMapMode(canvas, MM_ANISOTROPIC);
  SetWindowExtEx(canvas, store.PaperWidth(), store.PaperHeight());
  SetViewportExtEx(canvas, box.Width(), box.Height());
  SetViewportOrgEx(canvas, box.Left, box.Top);
  SetWindowOrgEx(canvas, -store.OffsetX(), -store.OffsetY());
  canvas.Draw(0, 0, store.MetaFile(preview.CurrentPage()));
  int compared = 0, differing = 0;
  for (int y = std::max(0, box.Top) + 1; y < std::min(height, box.Bottom) - 1; y += 5)
    for (int x = std::max(0, box.Left) + 1; x < std::min(width, box.Right) - 1; x += 5) {
      const TColor want = expected.Pixel(x, y);
      const std::uint32_t shown =
          test_driver::PixelAt(preview.ScrollBox1, preview.PB1->Left() + x, preview.PB1->Top() + y);
      const int channels[3][2] = {{int(want & 0xFF), int(shown >> 16 & 0xFF)},
                                  {int(want >> 8 & 0xFF), int(shown >> 8 & 0xFF)},
                                  {int(want >> 16 & 0xFF), int(shown & 0xFF)}};
      bool off = false;
      for (const auto& c : channels) off = off || std::abs(c[0] - c[1]) > 24;
      ++compared;
      differing += off;
    }
  return compared ? double(differing) / compared : 1.0;
}

bool InkAt(TfrmPreview& preview, int x, int y) {
  return (test_driver::PixelAt(preview.ScrollBox1, preview.PB1->Left() + x, preview.PB1->Top() + y) & 0xC0C0C0) == 0;
}

TPoint InkNearTheMiddle(TfrmPreview& preview, bool insideStroke) {
  const TPoint middle{preview.PB1->Width() / 2, preview.PB1->Height() / 2};
  TPoint found{-1, -1};
  int nearest = 1 << 30;
  for (int y = middle.Y - 100; y < middle.Y + 100; y += 3)
    for (int x = middle.X - 150; x < middle.X + 150; x += 3) {
      const int distance = (x - middle.X) * (x - middle.X) + (y - middle.Y) * (y - middle.Y);
      if (distance >= nearest || !InkAt(preview, x, y)) continue;
      if (insideStroke && !(InkAt(preview, x - 2, y) && InkAt(preview, x + 2, y) && InkAt(preview, x, y - 2) &&
                            InkAt(preview, x, y + 2)))
        continue;
      found = {x, y}, nearest = distance;
    }
  return found;
}

}  // namespace lark::test
