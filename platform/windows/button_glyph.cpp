#include "platform/windows/button_glyph.h"

#include <vector>

#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"
#include "platform/windows/control.h"

namespace lark {

TGlyphPlacement PlaceGlyphAndCaption(TSize client, TSize glyph, TSize text, TButtonLayout layout, int margin,
                                     int spacing) {
  const bool has_glyph = glyph.cx > 0 && glyph.cy > 0;
  const bool has_text = text.cx > 0 && text.cy > 0;
  if (!has_glyph && (layout == TButtonLayout::blGlyphTop || layout == TButtonLayout::blGlyphBottom))
    layout = TButtonLayout::blGlyphLeft;
  const bool horizontal = layout == TButtonLayout::blGlyphLeft || layout == TButtonLayout::blGlyphRight;
  // Sizes along the layout's axis, and across it.
  const int room = horizontal ? client.cx : client.cy;
  const int glyph_along = horizontal ? glyph.cx : glyph.cy;
  const int text_along = horizontal ? text.cx : text.cy;
  if (!has_glyph || !has_text) spacing = 0;
  if (margin == -1 && spacing == -1) {
    margin = spacing = (room - (glyph_along + text_along)) / 3;
  } else if (margin == -1) {
    margin = (room - (glyph_along + spacing + text_along) + 1) / 2;
  } else if (spacing == -1) {
    spacing = (room - margin - glyph_along - text_along) / 2;
  }
  int glyph_at = margin;
  int text_at = glyph_at + glyph_along + spacing;
  if (layout == TButtonLayout::blGlyphRight || layout == TButtonLayout::blGlyphBottom) {
    glyph_at = room - margin - glyph_along;
    text_at = glyph_at - spacing - text_along;
  }
  const int across_room = horizontal ? client.cy : client.cx;
  const int glyph_across = (across_room - (horizontal ? glyph.cy : glyph.cx) + 1) / 2;
  const int text_across = (across_room - (horizontal ? text.cy : text.cx) + 1) / 2;
  TGlyphPlacement placement;
  placement.GlyphPos = horizontal ? Point(glyph_at, glyph_across) : Point(glyph_across, glyph_at);
  const TPoint text_pos = horizontal ? Point(text_at, text_across) : Point(text_across, text_at);
  placement.TextBounds = Bounds(text_pos.X, text_pos.Y, text.cx, text.cy);
  return placement;
}

TRect ButtonFaceRect(const TRect& client, bool pushed) {
  TRect face = client;
  InflateRect(face, -2, -2);
  if (pushed) OffsetRect(face, 1, 1);
  return face;
}

TButtonGlyph::TButtonGlyph(TControl* control) : control_(control) {
  glyph_.OnChange = [this](TBitmap*) { GlyphChanged(); };
}

void TButtonGlyph::SetGlyph(const TBitmap& glyph) {
  glyph_.Assign(glyph);
  if (glyph.Empty() || glyph.Width() % glyph.Height() != 0) return;
  const int count = glyph.Width() / glyph.Height();
  SetNumGlyphs(count > 4 ? 1 : count);
}

void TButtonGlyph::SetNumGlyphs(int count) {
  count = count < 1 ? 1 : count > 4 ? 4 : count;
  if (count == num_glyphs_) return;
  num_glyphs_ = count;
  GlyphChanged();
}

void TButtonGlyph::SetLayout(TButtonLayout layout) {
  layout_ = layout;
  control_->Invalidate();
}

void TButtonGlyph::SetMargin(int margin) {
  if (margin < -1) return;
  margin_ = margin;
  control_->Invalidate();
}

void TButtonGlyph::SetSpacing(int spacing) {
  spacing_ = spacing;
  control_->Invalidate();
}

void TButtonGlyph::GlyphChanged() {
  for (auto& picture : pictures_) picture.reset();
  control_->Invalidate();
}

int TButtonGlyph::PictureWidth() const { return glyph_.Width() / num_glyphs_; }

const TBitmap* TButtonGlyph::Picture(TButtonState state) {
  if (PictureWidth() <= 0 || glyph_.Height() <= 0) return nullptr;
  int index = static_cast<int>(state);
  if (index >= num_glyphs_ && state != TButtonState::bsDisabled) index = 0;
  std::unique_ptr<TBitmap>& picture = pictures_[static_cast<size_t>(index)];
  if (!picture) picture = index < num_glyphs_ ? CutPicture(index) : EmbossedPicture();
  return picture.get();
}

std::unique_ptr<TBitmap> TButtonGlyph::CutPicture(int index) {
  const int width = PictureWidth(), height = glyph_.Height();
  auto picture = std::make_unique<TBitmap>(width, height);
  picture->Canvas().CopyRect(Rect(0, 0, width, height), glyph_.Canvas(),
                             Bounds(index * width, 0, width, height));
  picture->SetTransparentColor(glyph_.TransparentColor() & 0xFFFFFF);
  picture->SetTransparent(true);
  return picture;
}

std::unique_ptr<TBitmap> TButtonGlyph::EmbossedPicture() {
  const int width = PictureWidth(), height = glyph_.Height();
  const TColor transparent = glyph_.TransparentColor() & 0xFFFFFF;
  // The pixels that emboss: the glyph's dark ones. White and silver, the
  // usual highlights of a glyph, stay out, as does the transparent colour.
  std::vector<TPoint> dark;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const TColor c = glyph_.Pixel(x, y) & 0xFFFFFF;
      if (c != transparent && GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 0xC0) dark.push_back(Point(x, y));
    }
  // One pixel larger, for the highlight; the face colour is the ground and
  // the transparent colour (neither emboss colour is the face colour).
  auto picture = std::make_unique<TBitmap>(width + 1, height + 1);
  TCanvas& canvas = picture->Canvas();
  canvas.Brush().Color = clBtnFace;
  canvas.FillRect(Rect(0, 0, width + 1, height + 1));
  for (const TPoint& p : dark) canvas.SetPixel(p.X + 1, p.Y + 1, clBtnHighlight);
  for (const TPoint& p : dark) canvas.SetPixel(p.X, p.Y, clBtnShadow);
  picture->SetTransparentColor(ColorToRGB(clBtnFace));
  picture->SetTransparent(true);
  return picture;
}

void TButtonGlyph::DrawGlyphAndCaption(TCanvas& canvas, const TRect& face, const std::string& caption,
                                       TButtonState state) {
  const TBitmap* picture = Picture(state);
  const TSize glyph_size = picture ? TSize{PictureWidth(), glyph_.Height()} : TSize{};
  TSize text_size;
  if (!caption.empty()) {
    TRect measured = Rect(0, 0, face.Width(), 0);
    DrawText(canvas, caption, measured, DT_CALCRECT);
    text_size = {measured.Width(), measured.Height()};
  }
  const TGlyphPlacement placement =
      PlaceGlyphAndCaption({face.Width(), face.Height()}, glyph_size, text_size, layout_, margin_, spacing_);
  if (picture) canvas.Draw(face.Left + placement.GlyphPos.X, face.Top + placement.GlyphPos.Y, *picture);
  if (caption.empty()) return;
  TRect bounds = placement.TextBounds;
  OffsetRect(bounds, face.Left, face.Top);
  DrawCaption(canvas, bounds, caption, state);
}

void TButtonGlyph::DrawCaption(TCanvas& canvas, TRect bounds, const std::string& caption, TButtonState state) {
  canvas.Brush().Style = bsClear;
  if (state != TButtonState::bsDisabled) {
    DrawText(canvas, caption, bounds, DT_CENTER | DT_NOCLIP);
    return;
  }
  const TColor color = canvas.Font().Color();
  OffsetRect(bounds, 1, 1);
  canvas.Font().SetColor(clBtnHighlight);
  DrawText(canvas, caption, bounds, DT_CENTER | DT_NOCLIP);
  OffsetRect(bounds, -1, -1);
  canvas.Font().SetColor(clBtnShadow);
  DrawText(canvas, caption, bounds, DT_CENTER | DT_NOCLIP);
  canvas.Font().SetColor(color);
}

}  // namespace lark
