#pragma once

// Device-context functions in the shape the drawing code expects of them,
// applied to a canvas.

#include <cstdint>
#include <string_view>

#include "platform/graphics/canvas.h"

namespace lark {

class TBitmap;

// Text alignment.
constexpr unsigned TA_NOUPDATECP = 0, TA_UPDATECP = 1;
constexpr unsigned TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6;
constexpr unsigned TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24;
// Background modes.
constexpr int TRANSPARENT = 1, OPAQUE = 2;
// ExtTextOut options.
constexpr unsigned ETO_OPAQUE = 2, ETO_CLIPPED = 4;
// DrawText formats.
constexpr unsigned DT_TOP = 0, DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4,
                   DT_BOTTOM = 8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
                   DT_NOCLIP = 0x100, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800;
// Mapping modes.
constexpr int MM_TEXT = 1, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;
// Stretch modes.
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;
constexpr int STRETCH_ANDSCANS = 1, STRETCH_ORSCANS = 2, STRETCH_DELETESCANS = 3;
// DrawEdge.
constexpr unsigned BDR_RAISEDOUTER = 1, BDR_SUNKENOUTER = 2, BDR_RAISEDINNER = 4, BDR_SUNKENINNER = 8;
constexpr unsigned EDGE_RAISED = 5, EDGE_SUNKEN = 10, EDGE_ETCHED = 6, EDGE_BUMP = 9;
constexpr unsigned BF_LEFT = 1, BF_TOP = 2, BF_RIGHT = 4, BF_BOTTOM = 8, BF_RECT = 15,
                   BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000,
                   BF_MONO = 0x8000;
// GetDeviceCaps indices and values.
constexpr int TECHNOLOGY = 2, HORZSIZE = 4, VERTSIZE = 6, HORZRES = 8, VERTRES = 10,
              BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24, RASTERCAPS = 38, LOGPIXELSX = 88,
              LOGPIXELSY = 90, SIZEPALETTE = 104, PHYSICALWIDTH = 110, PHYSICALHEIGHT = 111,
              PHYSICALOFFSETX = 112, PHYSICALOFFSETY = 113;
constexpr int DT_PLOTTER = 0, DT_RASDISPLAY = 1, DT_RASPRINTER = 2, DT_METAFILE = 5;
constexpr int RC_BITBLT = 1, RC_DI_BITMAP = 0x80, RC_PALETTE = 0x100, RC_STRETCHBLT = 0x800,
              RC_STRETCHDIB = 0x2000;
// Clip-region results of GetClipRgn.
constexpr int NO_CLIP_REGION = 0, HAS_CLIP_REGION = 1;

struct TEXTMETRIC {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
  int tmWeight = 400;
  int tmOverhang = 0;
  int tmDigitizedAspectX = 96;
  int tmDigitizedAspectY = 96;
  uint8_t tmFirstChar = 32;
  uint8_t tmLastChar = 255;
  uint8_t tmDefaultChar = '?';
  uint8_t tmBreakChar = ' ';
  uint8_t tmItalic = 0;
  uint8_t tmUnderlined = 0;
  uint8_t tmStruckOut = 0;
  uint8_t tmPitchAndFamily = 0;  // bit 0 set for a variable pitch, as in GDI
  uint8_t tmCharSet = 0;         // the charset that was asked for
};

// Device-independent bitmap headers, for StretchDIBits and GetDIBits.
struct BITMAPINFOHEADER {
  uint32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;  // > 0: rows bottom-up; < 0: top-down
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 0;  // 1, 4, 8, 24 or 32
  uint32_t biCompression = 0;  // BI_RGB only
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};
struct RGBQUAD {
  uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];
};
constexpr uint32_t BI_RGB = 0;
constexpr unsigned DIB_RGB_COLORS = 0;
// Bytes in one row of a DIB: rows are padded to 32 bits.
[[nodiscard]] int DibRowBytes(int width, int bit_count);

// Text state.
unsigned SetTextAlign(TCanvas& dc, unsigned align);  // returns the previous alignment
[[nodiscard]] unsigned GetTextAlign(TCanvas& dc);
// The next text calls spread `extra` pixels over `break_count` blanks: each
// blank gets extra div count, the first extra mod count one more, carried
// over consecutive calls until all are handed out. (0, 0) resets.
bool SetTextJustification(TCanvas& dc, int extra, int break_count);
int SetBkMode(TCanvas& dc, int mode);
[[nodiscard]] int GetBkMode(TCanvas& dc);
TColor SetBkColor(TCanvas& dc, TColor color);
[[nodiscard]] TColor GetBkColor(TCanvas& dc);
TColor SetTextColor(TCanvas& dc, TColor color);
[[nodiscard]] TColor GetTextColor(TCanvas& dc);

// Text, measured and drawn in the canvas font. Text is bytes in the font's
// charset; `dx` (count entries) receives for each byte the extent of the
// text up to and including it, which does not grow inside a character.
// fit (may be null) gets the number of bytes that fit in max_extent,
// never ending inside a character; with fit null nothing is limited.
bool GetTextExtentExPoint(TCanvas& dc, const char* text, int count, int max_extent, int* fit,
                          int* dx, TSize* size);
// The same without a limit, each byte's extent added to `start` and written
// to `extents` (count entries) as they are kept; returns the text's width.
int MeasureTextExtents(TCanvas& dc, const char* text, int count, std::int64_t start, std::int64_t* extents);
bool GetTextExtentPoint32(TCanvas& dc, const char* text, int count, TSize* size);
bool GetTextMetrics(TCanvas& dc, TEXTMETRIC& metrics);
// The same for a font selected into no canvas.
void GetFontMetrics(const TFont& font, TEXTMETRIC& metrics);
bool TextOut(TCanvas& dc, int x, int y, const char* text, int count);
// dx, when given, holds the advance of each byte (0 inside a character).
bool ExtTextOut(TCanvas& dc, int x, int y, unsigned options, const TRect* rect, const char* text,
                int count, const int* dx);
// Returns the height of the text drawn (or measured with DT_CALCRECT, which
// also sets rect's right and bottom).
int DrawText(TCanvas& dc, std::string_view text, TRect& rect, unsigned format);

// Frames.
bool DrawEdge(TCanvas& dc, TRect& rect, unsigned edge, unsigned flags);
bool DrawFocusRect(TCanvas& dc, const TRect& rect);

// Bitmaps. src may be null for operations that do not read a source.
int SetStretchBltMode(TCanvas& dc, int mode);
[[nodiscard]] int GetStretchBltMode(TCanvas& dc);
bool BitBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* src, int src_x, int src_y,
            unsigned rop);
bool StretchBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* src, int src_x,
                int src_y, int src_width, int src_height, unsigned rop);
bool PatBlt(TCanvas& dest, int x, int y, int width, int height, unsigned rop);
// Returns the number of rows drawn, 0 on a bad header.
int StretchDIBits(TCanvas& dest, int x, int y, int width, int height, int src_x, int src_y,
                  int src_width, int src_height, const void* bits, const BITMAPINFO& info,
                  unsigned usage, unsigned rop);
// Reads rows of the bitmap in the format the header asks for (bit count 1,
// 4, 8, 24 or 32). With bits null only the header is completed (size,
// colours). Returns the rows copied.
int GetDIBits(TCanvas& dc, TBitmap& bitmap, int start, int lines, void* bits, BITMAPINFO& info,
              unsigned usage);

// Mapping.
int SetMapMode(TCanvas& dc, int mode);
[[nodiscard]] int GetMapMode(TCanvas& dc);
bool SetWindowExtEx(TCanvas& dc, int x, int y, TSize* previous = nullptr);
bool SetViewportExtEx(TCanvas& dc, int x, int y, TSize* previous = nullptr);
bool SetWindowOrgEx(TCanvas& dc, int x, int y, TPoint* previous = nullptr);
bool SetViewportOrgEx(TCanvas& dc, int x, int y, TPoint* previous = nullptr);
bool GetWindowOrgEx(TCanvas& dc, TPoint* origin);
bool GetViewportOrgEx(TCanvas& dc, TPoint* origin);
bool LPtoDP(TCanvas& dc, TPoint* points, int count);
bool DPtoLP(TCanvas& dc, TPoint* points, int count);

// Clipping, in device coordinates. A null region removes the clip.
int SelectClipRgn(TCanvas& dc, const TRegion* region);
int ExtSelectClipRgn(TCanvas& dc, const TRegion* region, int mode);
// Copies the clip region; NO_CLIP_REGION (and region untouched) when none.
int GetClipRgn(TCanvas& dc, TRegion& region);
// Narrows the clip to a rectangle given in logical units.
int IntersectClipRect(TCanvas& dc, int left, int top, int right, int bottom);
int GetClipBox(TCanvas& dc, TRect& rect);
bool FillRgn(TCanvas& dc, const TRegion& region, const TBrush& brush);

[[nodiscard]] int GetDeviceCaps(TCanvas& dc, int index);

}  // namespace lark
