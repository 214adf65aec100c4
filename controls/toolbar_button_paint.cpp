// How a toolbar button draws itself: frame, face, glyph, caption and arrow.

#include <algorithm>

#include "controls/toolbar_button.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"

namespace lark {

using TState = TToolbarButtonState;

namespace {

// Where the parts of the face go, relative to the face's top-left.
struct FaceLayout {
  TPoint glyph;
  TRect caption;
  TPoint arrow;  // the arrow's left and top
};

struct FaceParts {
  TSize client;
  TSize glyph;
  TSize caption;
  int arrow_width = 0;  // 0: no small arrow
  TButtonLayout layout = TButtonLayout::blGlyphLeft;
  int margin = -1;
  int spacing = 4;
};

FaceLayout Place(FaceParts p) {
  if ((p.layout == TButtonLayout::blGlyphTop || p.layout == TButtonLayout::blGlyphBottom) && p.glyph.cx == 0) {
    p.layout = TButtonLayout::blGlyphLeft;
  }
  const bool across = p.layout == TButtonLayout::blGlyphLeft || p.layout == TButtonLayout::blGlyphRight;
  if (p.glyph.cx == 0 || p.caption.cx == 0) p.spacing = 0;
  const int room = across ? p.client.cx : p.client.cy;
  const int glyph = across ? p.glyph.cx : p.glyph.cy;
  const int text = across ? p.caption.cx : p.caption.cy;
  const int arrow = across ? p.arrow_width : 0;
  if (p.margin == -1 && p.spacing == -1) {
    p.margin = p.spacing = (room - (glyph + text + arrow)) / 3;
  } else if (p.margin == -1) {
    p.margin = (room - (glyph + p.spacing + text + arrow) + 1) / 2;
  } else if (p.spacing == -1) {
    p.spacing = (room - p.margin - glyph - arrow - text) / 2;
  }
  FaceLayout out;
  TPoint text_at;
  if (across) {
    out.glyph.Y = (p.client.cy - p.glyph.cy + 1) / 2;
    text_at.Y = (p.client.cy - p.caption.cy + 1) / 2;
    if (p.layout == TButtonLayout::blGlyphLeft) {
      out.glyph.X = p.margin;
      text_at.X = p.margin + glyph + p.spacing;
      out.arrow.X = text_at.X + text;
    } else {
      out.arrow.X = p.client.cx - p.margin - arrow;
      out.glyph.X = out.arrow.X - glyph;
      text_at.X = out.glyph.X - p.spacing - text;
    }
  } else {
    out.glyph.X = (p.client.cx - (p.glyph.cx + p.arrow_width) + 1) / 2;
    text_at.X = (p.client.cx - p.caption.cx + 1) / 2;
    out.glyph.Y = p.layout == TButtonLayout::blGlyphTop ? p.margin : p.client.cy - p.margin - glyph;
    text_at.Y = p.layout == TButtonLayout::blGlyphTop ? p.margin + glyph + p.spacing : out.glyph.Y - p.spacing - text;
    out.arrow.X = out.glyph.X + p.glyph.cx;
  }
  out.arrow.X += 1;
  out.arrow.Y = p.glyph.cy > 0 ? out.glyph.Y + (p.glyph.cy - 3) / 2 : text_at.Y + (p.caption.cy - 3) / 2;
  out.caption = Rect(text_at.X, text_at.Y, text_at.X + p.caption.cx, text_at.Y + p.caption.cy);
  return out;
}

TRect Offset(TRect r, TPoint by) { return Rect(r.Left + by.X, r.Top + by.Y, r.Right + by.X, r.Bottom + by.Y); }

void FillWithPattern(TCanvas& canvas, const TRect& area, const TBitmap& pattern) {
  for (int y = area.Top; y < area.Bottom; y += 8) {
    for (int x = area.Left; x < area.Right; x += 8) {
      const int w = std::min(8, area.Right - x);
      const int h = std::min(8, area.Bottom - y);
      canvas.CopyRect(Rect(x, y, x + w, y + h), const_cast<TBitmap&>(pattern).Canvas(), Rect(0, 0, w, h));
    }
  }
}

}  // namespace

void TToolbarButton::Paint() {
  if (opaque_ || !flat_) {
    TBitmap face;
    face.SetPixelFormat(pf24bit);
    face.SetSize(std::max(1, ClientWidth()), std::max(1, ClientHeight()));
    face.Canvas().Brush().Style = bsSolid;
    face.Canvas().Brush().Color = Color();
    face.Canvas().FillRect(Rect(0, 0, ClientWidth(), ClientHeight()));
    face.Canvas().SetFont(Font());
    PaintFace(face.Canvas());
    Canvas().Draw(0, 0, face);
  } else {
    Canvas().SetFont(Font());
    PaintFace(Canvas());
  }
}

void TToolbarButton::PaintFace(TCanvas& canvas) {
  const bool pushed = state_ == TState::bsDown || state_ == TState::bsExclusive;
  const bool combo = Combo();
  const bool arrow_pressed = combo && arrow_hit_ && menu_is_down_;
  const bool pushed_face = pushed && !(combo && arrow_hit_);
  const bool border = HasState(csDesigning) ||
                      (!no_border_ && (!flat_ || pushed || (mouse_in_control_ && state_ != TState::bsDisabled)));
  TRect main = ClientRect();
  if (combo) main.Right -= dropdown_arrow_width_ + 2;
  if (border) {
    TRect edge = main;
    if (flat_) {
      DrawEdge(canvas, edge, pushed_face ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    } else {
      DrawEdge(canvas, edge, pushed_face ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
    }
    if (combo) {
      TRect part = Rect(main.Right, 0, ClientWidth(), ClientHeight());
      DrawEdge(canvas, part, flat_ ? (arrow_pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER)
                                   : (arrow_pressed ? EDGE_SUNKEN : EDGE_RAISED),
               flat_ ? BF_RECT : BF_RECT | BF_SOFT | BF_MIDDLE);
    }
  }
  TRect inner = main;
  if (!no_border_) {
    const int inset = flat_ ? 1 : 2;
    inner = Rect(inner.Left + inset, inner.Top + inset, inner.Right - inset, inner.Bottom - inset);
  }
  TPoint offset = Point(inner.Left, inner.Top);
  if (pushed_face) {
    if (state_ == TState::bsExclusive && highlight_when_down_ && !(flat_ && mouse_in_control_)) {
      FillWithPattern(canvas, inner, DitherPattern());
    }
    offset = Point(offset.X + 1, offset.Y + 1);
  }
  const bool small_arrow = dropdown_arrow_ && UsesDropdown() && !combo;
  FaceParts parts;
  parts.client = TSize{inner.Right - inner.Left, inner.Bottom - inner.Top};
  if (display_mode_ != TButtonDisplayMode::dmTextOnly) parts.glyph = glyph_.GlyphSize();
  parts.arrow_width = small_arrow ? dropdown_arrow_width_ : 0;
  parts.layout = layout_;
  parts.margin = margin_;
  parts.spacing = spacing_;
  const std::string caption = display_mode_ == TButtonDisplayMode::dmGlyphOnly ? std::string() : Caption();
  if (!caption.empty()) {
    const bool across = layout_ == TButtonLayout::blGlyphLeft || layout_ == TButtonLayout::blGlyphRight;
    const bool with_glyph = across && parts.glyph.cx > 0;
    const int m = with_glyph ? (margin_ != -1 ? margin_ : spacing_ != -1 ? spacing_ : 4) : 4;
    TRect measure = Rect(0, 0, parts.client.cx, 0);
    if (word_wrap_) {
      measure.Right = parts.client.cx - (across ? parts.arrow_width : 0) -
                      (with_glyph ? parts.glyph.cx + (spacing_ == -1 ? 4 : spacing_) : 0) - 2 * m;
    }
    DrawText(canvas, caption, measure, DT_CALCRECT | (word_wrap_ ? DT_WORDBREAK : DT_SINGLELINE));
    parts.caption = TSize{measure.Right - measure.Left, measure.Bottom - measure.Top};
  }
  const FaceLayout placed = Place(parts);
  if (parts.glyph.cx > 0) {
    glyph_.Draw(canvas, Point(placed.glyph.X + offset.X, placed.glyph.Y + offset.Y), state_);
  }
  if (!caption.empty()) DrawCaption(canvas, Offset(placed.caption, offset));
  if (small_arrow) {
    DrawArrow(canvas, placed.arrow.X + offset.X + dropdown_arrow_width_ / 2, placed.arrow.Y + offset.Y);
  } else if (combo) {
    DrawArrow(canvas, ClientWidth() - dropdown_arrow_width_ - 2 + dropdown_arrow_width_ / 2 + (arrow_pressed ? 1 : 0),
              ClientHeight() / 2 - 1 + (arrow_pressed ? 1 : 0));
  }
}

void TToolbarButton::DrawArrow(TCanvas& canvas, int x, int y) const {
  auto triangle = [&canvas](int cx, int cy, TColor color) {
    canvas.Pen().Style = psSolid;
    canvas.Pen().Color = color;
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = color;
    canvas.Polygon({Point(cx - 2, cy), Point(cx + 2, cy), Point(cx, cy + 2)});
  };
  if (Enabled()) {
    triangle(x, y, Font().Color());
    return;
  }
  triangle(x + 1, y + 1, clBtnHighlight);
  triangle(x, y, clBtnShadow);
}

void TToolbarButton::DrawCaption(TCanvas& canvas, TRect bounds) const {
  const unsigned align = alignment_ == TAlignment::taLeftJustify    ? DT_LEFT
                         : alignment_ == TAlignment::taRightJustify ? DT_RIGHT
                                                                    : DT_CENTER;
  const unsigned format = align | DT_VCENTER | (word_wrap_ ? DT_WORDBREAK : DT_SINGLELINE);
  canvas.Brush().Style = bsClear;
  if (Enabled()) {
    canvas.Font().SetColor(Font().Color());
    DrawText(canvas, Caption(), bounds, format);
    return;
  }
  TRect raised = Offset(bounds, Point(1, 1));
  canvas.Font().SetColor(clBtnHighlight);
  DrawText(canvas, Caption(), raised, format);
  canvas.Font().SetColor(clBtnShadow);
  DrawText(canvas, Caption(), bounds, format);
}

}  // namespace lark
