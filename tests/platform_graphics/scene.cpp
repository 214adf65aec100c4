#include "tests/platform_graphics/scene.h"

#include <cstdlib>

#include "platform/graphics/gdi.h"

namespace lark::testing_scene {

void MakeMaskedImage(TBitmap& image, TBitmap& mask) {
  image.SetSize(40, 40);
  image.Canvas().Brush().Color = clLime;
  image.Canvas().FillRect(Rect(0, 0, 40, 40));
  image.Canvas().Brush().Color = clRed;
  image.Canvas().Pen().Color = clRed;
  image.Canvas().Ellipse(4, 4, 36, 36);
  mask.SetMonochrome(true);
  mask.SetSize(40, 40);
  SetBkColor(image.Canvas(), clLime);
  BitBlt(mask.Canvas(), 0, 0, 40, 40, &image.Canvas(), 0, 0, SRCCOPY);
  BitBlt(image.Canvas(), 0, 0, 40, 40, &mask.Canvas(), 0, 0, DSna);  // transparent pixels black
}

void DrawMasked(TCanvas& canvas, TBitmap& image, TBitmap& mask, int x, int y) {
  SetTextColor(canvas, clBlack);
  SetBkColor(canvas, clWhite);
  BitBlt(canvas, x, y, 40, 40, &mask.Canvas(), 0, 0, SRCAND);
  BitBlt(canvas, x, y, 40, 40, &image.Canvas(), 0, 0, SRCPAINT);
}

void Draw(TCanvas& canvas) {
  canvas.Brush().Color = RGB(200, 220, 255);
  canvas.FillRect(Rect(10, 10, 140, 90));
  canvas.Pen().Color = clNavy;
  canvas.Brush().Color = clYellow;
  canvas.Rectangle(150, 10, 290, 60);
  canvas.MoveTo(10, 100);
  canvas.LineTo(290, 100);
  canvas.Brush().Color = clTeal;
  canvas.Ellipse(20, 110, 80, 170);
  canvas.Font().SetName("Arial");
  canvas.Font().SetSize(12);
  canvas.Font().SetColor(clMaroon);
  canvas.Brush().Style = bsClear;
  canvas.TextOut(100, 120, "Larkspan prints");
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = clSilver;
  canvas.Font().SetStyle(fsBold | fsUnderline);
  canvas.TextOut(100, 150, "Opaque text");
  TBitmap image, mask;
  MakeMaskedImage(image, mask);
  DrawMasked(canvas, image, mask, 240, 140);
}

double DifferentShare(TBitmap& a, TBitmap& b, int tolerance, const TRect& area) {
  int different = 0, total = 0;
  for (int y = area.Top; y < area.Bottom; ++y)
    for (int x = area.Left; x < area.Right; ++x) {
      const TColor p = a.Pixel(x, y), q = b.Pixel(x, y);
      ++total;
      if (std::abs(GetRValue(p) - GetRValue(q)) > tolerance || std::abs(GetGValue(p) - GetGValue(q)) > tolerance ||
          std::abs(GetBValue(p) - GetBValue(q)) > tolerance)
        ++different;
    }
  return total ? double(different) / total : 0;
}

}  // namespace lark::testing_scene
