#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/graphics/drawing_tools.h"
#include "platform/graphics/font.h"
#include "platform/graphics/geometry.h"
#include "platform/graphics/palette.h"
#include "platform/graphics/region.h"

namespace lark {

class TGraphic;

// What a device is, as GetDeviceCaps reports it. Sizes are in device pixels.
struct TDeviceCaps {
  int Technology = 1;  // DT_RASDISPLAY, DT_RASPRINTER or DT_METAFILE
  int LogPixelsX = 96;
  int LogPixelsY = 96;
  int HorzRes = 0;  // printable width
  int VertRes = 0;  // printable height
  int PhysicalWidth = 0;  // the whole sheet; 0 means HorzRes
  int PhysicalHeight = 0;
  int PhysicalOffsetX = 0;  // left and top unprintable borders
  int PhysicalOffsetY = 0;
  int BitsPixel = 24;
  int Planes = 1;
};

// Copy modes of TCanvas::CopyRect and Draw: raster operations.
constexpr unsigned SRCCOPY = 0x00CC0020;
constexpr unsigned SRCPAINT = 0x00EE0086;
constexpr unsigned SRCAND = 0x008800C6;
constexpr unsigned SRCINVERT = 0x00660046;
constexpr unsigned SRCERASE = 0x00440328;
constexpr unsigned NOTSRCCOPY = 0x00330008;
constexpr unsigned NOTSRCERASE = 0x001100A6;
constexpr unsigned MERGECOPY = 0x00C000CA;
constexpr unsigned MERGEPAINT = 0x00BB0226;
constexpr unsigned PATCOPY = 0x00F00021;
constexpr unsigned PATPAINT = 0x00FB0A09;
constexpr unsigned PATINVERT = 0x005A0049;
constexpr unsigned DSTINVERT = 0x00550009;
constexpr unsigned BLACKNESS = 0x00000042;
constexpr unsigned WHITENESS = 0x00FF0062;
constexpr unsigned DSna = 0x00220326;  // dest AND NOT source: the mask operation

namespace detail {
class CanvasDevice;

// The device-context state the drawing functions of gdi.h read and set.
struct GdiState {
  unsigned TextAlign = 0;
  int BkMode = 2;  // OPAQUE
  TColor BkColor = clWhite;
  TColor TextColor = clBlack;
  int StretchMode = 1;  // BLACKONWHITE
  int MapMode = 1;      // MM_TEXT
  TPoint WindowOrg, ViewportOrg;
  TSize WindowExt{1, 1}, ViewportExt{1, 1};
  // Extra pixels of SetTextJustification still to hand out, and the number
  // of break characters they are spread over.
  int JustifyExtra = 0;
  int JustifyBreaks = 0;
  int JustifyUsed = 0;  // break characters that have had their share
  std::optional<TRegion> Clip;  // device coordinates
  HPALETTE Palette;
};
}  // namespace detail

// A drawing surface: a bitmap, a window's retained surface, a printer page
// or a metafile being recorded. It keeps the pen, brush and font of the
// class library's canvas and the device-context state of gdi.h. Coordinates
// are logical units, mapped to the device by the mapping mode.
class TCanvas {
 public:
  explicit TCanvas(std::unique_ptr<detail::CanvasDevice> device);
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font) { font_ = font; }
  TPen& Pen() { return pen_; }
  void SetPen(const TPen& pen) { pen_ = pen; }
  TBrush& Brush() { return brush_; }
  void SetBrush(const TBrush& brush) { brush_ = brush; }
  unsigned CopyMode() const { return copy_mode_; }
  void SetCopyMode(unsigned mode) { copy_mode_ = mode; }

  TPoint PenPos() const { return pen_pos_; }
  void SetPenPos(TPoint pos) { pen_pos_ = pos; }
  void MoveTo(int x, int y) { pen_pos_ = {x, y}; }
  // A line from the pen position up to (not including) (x, y).
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint>& points);
  // Filled with the brush (winding), outlined with the pen.
  void Polygon(const std::vector<TPoint>& points);
  // Outlined with the pen and filled with the brush, right and bottom exclusive.
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
  void Ellipse(int left, int top, int right, int bottom);
  // The elliptic arc in the box (x1, y1)-(x2, y2), counter-clockwise from the
  // ray towards (x3, y3) to the ray towards (x4, y4).
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  // Fills with the brush, no outline.
  void FillRect(const TRect& rect);
  // A one-pixel frame in the brush colour.
  void FrameRect(const TRect& rect);
  // A dotted frame drawn by inverting, so a second call removes it.
  void DrawFocusRect(const TRect& rect);

  // Text in the canvas font at (x, y) by the text alignment; the background
  // is the brush unless its style is bsClear. Moves the pen position to the
  // end of the text.
  void TextOut(int x, int y, std::string_view text);
  // The same, clipped to rect.
  void TextRect(const TRect& rect, int x, int y, std::string_view text);
  [[nodiscard]] TSize TextExtent(std::string_view text);
  [[nodiscard]] int TextWidth(std::string_view text) { return TextExtent(text).cx; }
  [[nodiscard]] int TextHeight(std::string_view text) { return TextExtent(text).cy; }

  void Draw(int x, int y, const TGraphic& graphic);
  void StretchDraw(const TRect& rect, const TGraphic& graphic);
  // Copies with CopyMode, stretching when the rectangles differ in size.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& source_rect);

  [[nodiscard]] TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

  // The clip rectangle in logical units (the device when nothing is selected).
  [[nodiscard]] TRect ClipRect();
  [[nodiscard]] const TDeviceCaps& Caps() const;

  // A new device context under the canvas: the device-context state is a
  // fresh one's again (mapping, origins, clip, alignment, colours), and the
  // pen, brush and font are selected afresh at the next call.
  void ResetDeviceState();

  // Layer internal.
  detail::GdiState& State() { return state_; }
  detail::CanvasDevice& Device() { return *device_; }
  // Brings the text and background colours in line with the font and brush
  // when those changed since the last text call, as a device context would
  // when the changed objects are selected.
  void SyncTextColors();

 private:
  std::unique_ptr<detail::CanvasDevice> device_;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  TPoint pen_pos_;
  unsigned copy_mode_ = SRCCOPY;
  detail::GdiState state_;
  TColor synced_font_color_ = clNone;
  TBrush synced_brush_{clNone, bsSolid, nullptr};
};

}  // namespace lark
