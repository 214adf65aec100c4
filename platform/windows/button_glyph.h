#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/geometry.h"

namespace lark {

class TCanvas;
class TControl;

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// What a button face shows; also the place of each picture in a glyph strip.
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Where glyph and caption go, relative to the top-left of the face.
struct TGlyphPlacement {
  TPoint GlyphPos;
  TRect TextBounds;
};

// Places a glyph and a caption of the given sizes (0 x 0 when absent) inside
// a face of `client` size. Along the layout's axis: Margin is the distance
// from the glyph's edge of the face to the glyph, Spacing the gap between
// glyph and caption; -1 Margin centres glyph and caption as one block, -1
// Spacing shares what is left between the gap and the far side, and both -1
// make the outer gaps and the gap between them equal. Across the axis each
// is centred. A top or bottom layout without a glyph is a left layout.
[[nodiscard]] TGlyphPlacement PlaceGlyphAndCaption(TSize client, TSize glyph, TSize text, TButtonLayout layout,
                                                   int margin, int spacing);

// The area of a button's client rectangle that glyph and caption share:
// inside the two-pixel frame, one pixel right and down while pushed.
[[nodiscard]] TRect ButtonFaceRect(const TRect& client, bool pushed);

// The glyph part of a button (bit buttons, speed buttons): the glyph strip,
// the layout of glyph and caption, and their painting.
//
// The glyph holds NumGlyphs pictures side by side: up, disabled, clicked,
// exclusive (latched down). A state without its own picture shows the up
// picture, except the disabled state, which is then embossed from the up
// picture: its dark pixels in the highlight colour one pixel right and down,
// the same pixels in the shadow colour on top. In every picture the pixels
// of the glyph's transparent colour (the bottom-left pixel's unless fixed)
// let the face show through.
//
// The glyph reports its own changes, so drawing on it, loading it or
// resizing it in place shows at the button's next paint.
class TButtonGlyph {
 public:
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  TBitmap& Glyph() { return glyph_; }
  // Copies the bitmap; a bitmap whose width is a whole multiple (up to 4)
  // of its height sets NumGlyphs to that multiple.
  void SetGlyph(const TBitmap& glyph);
  [[nodiscard]] int NumGlyphs() const { return num_glyphs_; }
  // Kept within 1..4.
  void SetNumGlyphs(int count);
  [[nodiscard]] TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout layout);
  [[nodiscard]] int Margin() const { return margin_; }
  // Values below -1 are ignored.
  void SetMargin(int margin);
  [[nodiscard]] int Spacing() const { return spacing_; }
  void SetSpacing(int spacing);

 protected:
  // `control` is the button, repainted when anything here changes.
  explicit TButtonGlyph(TControl* control);
  ~TButtonGlyph() = default;

  // Draws the picture for the state and the caption (its "&" letter
  // underlined) inside `face`, the caption in the canvas font; a disabled
  // caption is embossed like the glyph.
  void DrawGlyphAndCaption(TCanvas& canvas, const TRect& face, const std::string& caption, TButtonState state);

 private:
  void GlyphChanged();
  [[nodiscard]] int PictureWidth() const;
  // The picture a state shows (null when there is none), made on first use.
  const TBitmap* Picture(TButtonState state);
  std::unique_ptr<TBitmap> CutPicture(int index);
  std::unique_ptr<TBitmap> EmbossedPicture();
  void DrawCaption(TCanvas& canvas, TRect bounds, const std::string& caption, TButtonState state);

  TControl* control_;
  TBitmap glyph_;
  int num_glyphs_ = 1;
  TButtonLayout layout_ = TButtonLayout::blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  // One per TButtonState, dropped whenever the glyph changes.
  std::array<std::unique_ptr<TBitmap>, 4> pictures_;
};

}  // namespace lark
