#pragma once

#include <memory>
#include <string>

#include "html/floating_object.h"
#include "html/paragraph_section.h"
#include "html/section_list.h"
#include "platform/graphics/bitmap.h"

namespace lark::testing {

inline TRunFont Font(int points, TColor color = clBlack, const std::string& name = "Arial", int charset = DEFAULT_CHARSET) {
  TRunFont font;
  font.Font.SetName(name);
  font.Font.SetSize(points);
  font.Font.SetColor(color);
  font.Font.SetCharset(charset);
  return font;
}

// An inline object of fixed size that paints itself as a filled box.
class Box : public TFloatingObj {
 public:
  Box(int width, int height, TAlignmentKind align, TColor color = clRed) : color_(color) {
    ImageWidth = width;
    ImageHeight = height;
    ObjAlign = align;
    if (Floats()) HSpaceL = HSpaceR = 3;
  }
  std::unique_ptr<TFloatingObj> CreateCopy(TSectionList&) const override {
    return std::make_unique<Box>(ImageWidth, ImageHeight, ObjAlign, color_);
  }
  void DrawLogic(TSectionList&, TCanvas&, const TFontObj*, int) override {}
  void Draw(TCanvas& canvas, int x, int topY, int yBaseline, const TFontObj*) override {
    DrawXX = x;
    DrawYY = ObjAlign == aTop || Floats() ? topY + VSpaceT : yBaseline - ImageHeight - VSpaceB;
    canvas.Brush().Color = color_;
    canvas.Brush().Style = bsSolid;
    const int yOff = Owner ? Owner->YOff : 0;
    canvas.FillRect(Rect(DrawXX, DrawYY - yOff, DrawXX + ImageWidth, DrawYY - yOff + ImageHeight));
  }
  void SetHover(int value) override { HoverLook = value; }
  TSectionList* Owner = nullptr;
  int HoverLook = 0;

 private:
  TColor color_;
};

// A document laid out and painted headless.
struct LaidOutDocument {
  TSectionList List{nullptr, nullptr};
  TBitmap Surface{1000, 1000};
  int ScrollWidth = 0;

  TSection* Paragraph(const std::string& text, TParagraphStyle style = {}, TRunFont font = Font(12)) {
    auto section = std::make_unique<TSection>(&List, style, font, "");
    section->AddText(text, 0);
    TSection* raw = section.get();
    List.Add(std::move(section));
    return raw;
  }
  int Layout(int width) {
    int curs = 0;
    ScrollWidth = 0;
    return List.DoLogic(Surface.Canvas(), 0, width, 1000, ScrollWidth, curs);
  }
  void Paint() {
    Surface.Canvas().Brush().Color = clWhite;
    Surface.Canvas().FillRect(Rect(0, 0, 1000, 1000));
    List.Draw(Surface.Canvas(), Rect(0, 0, 1000, 1000), 1000, 0, 0, 0, 0);
  }
  [[nodiscard]] bool Inked(int left, int top, int right, int bottom) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        if ((Surface.Pixel(x, y) & 0xFFFFFF) != clWhite) return true;
    return false;
  }
};

}  // namespace lark::testing
