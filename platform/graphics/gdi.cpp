#include "platform/graphics/gdi.h"

#include <algorithm>
#include <cstring>

#include "platform/graphics/bitmap.h"
#include "platform/graphics/bitmap_data_qt.h"
#include "platform/graphics/canvas_device_qt.h"
#include "platform/graphics/raster_ops_qt.h"
#include "platform/graphics/region_data_qt.h"

namespace lark {

using detail::DrawCommand;
using Kind = detail::DrawCommand::Kind;

// ---- state ----------------------------------------------------------------

unsigned SetTextAlign(TCanvas& dc, unsigned align) { return std::exchange(dc.State().TextAlign, align); }
unsigned GetTextAlign(TCanvas& dc) { return dc.State().TextAlign; }

bool SetTextJustification(TCanvas& dc, int extra, int break_count) {
  dc.State().JustifyExtra = break_count > 0 ? std::max(0, extra) : 0;
  dc.State().JustifyBreaks = std::max(0, break_count);
  dc.State().JustifyUsed = 0;
  return true;
}

int SetBkMode(TCanvas& dc, int mode) {
  dc.SyncTextColors();
  return std::exchange(dc.State().BkMode, mode);
}
int GetBkMode(TCanvas& dc) {
  dc.SyncTextColors();
  return dc.State().BkMode;
}
TColor SetBkColor(TCanvas& dc, TColor color) {
  dc.SyncTextColors();
  return std::exchange(dc.State().BkColor, color);
}
TColor GetBkColor(TCanvas& dc) {
  dc.SyncTextColors();
  return dc.State().BkColor;
}
TColor SetTextColor(TCanvas& dc, TColor color) {
  dc.SyncTextColors();
  return std::exchange(dc.State().TextColor, color);
}
TColor GetTextColor(TCanvas& dc) {
  dc.SyncTextColors();
  return dc.State().TextColor;
}

// ---- mapping --------------------------------------------------------------

int SetMapMode(TCanvas& dc, int mode) {
  const int previous = dc.State().MapMode;
  if (mode == MM_TEXT || mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC) dc.State().MapMode = mode;
  return previous;
}
int GetMapMode(TCanvas& dc) { return dc.State().MapMode; }

bool SetWindowExtEx(TCanvas& dc, int x, int y, TSize* previous) {
  if (previous) *previous = dc.State().WindowExt;
  if (x == 0 || y == 0) return false;
  if (dc.State().MapMode != MM_TEXT) dc.State().WindowExt = {x, y};
  return true;
}
bool SetViewportExtEx(TCanvas& dc, int x, int y, TSize* previous) {
  if (previous) *previous = dc.State().ViewportExt;
  if (x == 0 || y == 0) return false;
  if (dc.State().MapMode != MM_TEXT) dc.State().ViewportExt = {x, y};
  return true;
}
bool SetWindowOrgEx(TCanvas& dc, int x, int y, TPoint* previous) {
  if (previous) *previous = dc.State().WindowOrg;
  dc.State().WindowOrg = {x, y};
  return true;
}
bool SetViewportOrgEx(TCanvas& dc, int x, int y, TPoint* previous) {
  if (previous) *previous = dc.State().ViewportOrg;
  dc.State().ViewportOrg = {x, y};
  return true;
}
bool GetWindowOrgEx(TCanvas& dc, TPoint* origin) {
  if (origin) *origin = dc.State().WindowOrg;
  return origin != nullptr;
}
bool GetViewportOrgEx(TCanvas& dc, TPoint* origin) {
  if (origin) *origin = dc.State().ViewportOrg;
  return origin != nullptr;
}

namespace {

bool MapPoints(const QTransform& transform, TPoint* points, int count) {
  if (!points || count < 0) return false;
  for (int i = 0; i < count; ++i) {
    const QPointF p = transform.map(QPointF(points[i].X, points[i].Y));
    points[i] = {int(std::lround(p.x())), int(std::lround(p.y()))};
  }
  return true;
}

}  // namespace

bool LPtoDP(TCanvas& dc, TPoint* points, int count) {
  return MapPoints(detail::DeviceTransform(dc.State()), points, count);
}
bool DPtoLP(TCanvas& dc, TPoint* points, int count) {
  return MapPoints(detail::DeviceTransform(dc.State()).inverted(), points, count);
}

// ---- clipping -------------------------------------------------------------

namespace {

QRegion DeviceArea(TCanvas& dc) {
  const TDeviceCaps& caps = dc.Caps();
  return QRegion(0, 0, std::max(caps.HorzRes, caps.PhysicalWidth), std::max(caps.VertRes, caps.PhysicalHeight));
}

int ClipKind(TCanvas& dc) { return dc.State().Clip ? dc.State().Clip->Kind() : SIMPLEREGION; }

}  // namespace

int SelectClipRgn(TCanvas& dc, const TRegion* region) {
  if (region)
    dc.State().Clip = *region;
  else
    dc.State().Clip.reset();
  return ClipKind(dc);
}

int ExtSelectClipRgn(TCanvas& dc, const TRegion* region, int mode) {
  if (mode == RGN_COPY || !region) return SelectClipRgn(dc, mode == RGN_COPY ? region : nullptr);
  const TRegion current = dc.State().Clip ? *dc.State().Clip : detail::FromQRegion(DeviceArea(dc));
  TRegion result;
  if (CombineRgn(result, current, *region, mode) == REGION_ERROR) return REGION_ERROR;
  dc.State().Clip = result;
  return ClipKind(dc);
}

int GetClipRgn(TCanvas& dc, TRegion& region) {
  if (!dc.State().Clip) return NO_CLIP_REGION;
  region = *dc.State().Clip;
  return HAS_CLIP_REGION;
}

int IntersectClipRect(TCanvas& dc, int left, int top, int right, int bottom) {
  const QRect device = detail::MapToDevice(detail::DeviceTransform(dc.State()), QRect(left, top, right - left, bottom - top));
  const QRegion current = dc.State().Clip ? detail::ToQRegion(*dc.State().Clip) : DeviceArea(dc);
  dc.State().Clip = detail::FromQRegion(current.intersected(device));
  return ClipKind(dc);
}

int GetClipBox(TCanvas& dc, TRect& rect) {
  const QRect box = (dc.State().Clip ? detail::ToQRegion(*dc.State().Clip) : DeviceArea(dc)).boundingRect();
  TPoint corners[2] = {{box.left(), box.top()}, {box.left() + box.width(), box.top() + box.height()}};
  DPtoLP(dc, corners, 2);
  rect = {std::min(corners[0].X, corners[1].X), std::min(corners[0].Y, corners[1].Y),
          std::max(corners[0].X, corners[1].X), std::max(corners[0].Y, corners[1].Y)};
  return box.isEmpty() ? NULLREGION : ClipKind(dc);
}

bool FillRgn(TCanvas& dc, const TRegion& region, const TBrush& brush) {
  DrawCommand command = detail::FillCommand(dc, detail::ToQBrush(brush));
  for (const QRect& r : detail::ToQRegion(region)) command.rects.push_back(r);
  dc.Device().Execute(command);
  return true;
}

// ---- device ---------------------------------------------------------------

int GetDeviceCaps(TCanvas& dc, int index) {
  const TDeviceCaps& caps = dc.Caps();
  const int depth = caps.BitsPixel * caps.Planes;
  switch (index) {
    case TECHNOLOGY: return caps.Technology;
    case HORZSIZE: return caps.LogPixelsX ? caps.HorzRes * 254 / (caps.LogPixelsX * 10) : 0;
    case VERTSIZE: return caps.LogPixelsY ? caps.VertRes * 254 / (caps.LogPixelsY * 10) : 0;
    case HORZRES: return caps.HorzRes;
    case VERTRES: return caps.VertRes;
    case BITSPIXEL: return caps.BitsPixel;
    case PLANES: return caps.Planes;
    case NUMCOLORS: return depth <= 8 ? 1 << depth : -1;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_STRETCHDIB | RC_DI_BITMAP | (depth <= 8 ? RC_PALETTE : 0);
    case LOGPIXELSX: return caps.LogPixelsX;
    case LOGPIXELSY: return caps.LogPixelsY;
    case SIZEPALETTE: return depth <= 8 ? 1 << depth : 0;
    case PHYSICALWIDTH: return caps.PhysicalWidth ? caps.PhysicalWidth : caps.HorzRes;
    case PHYSICALHEIGHT: return caps.PhysicalHeight ? caps.PhysicalHeight : caps.VertRes;
    case PHYSICALOFFSETX: return caps.PhysicalOffsetX;
    case PHYSICALOFFSETY: return caps.PhysicalOffsetY;
    default: return 0;
  }
}

// ---- blits ----------------------------------------------------------------

void detail::BlitImage(TCanvas& dest, int x, int y, int width, int height, const QImage& source,
                       const QRect& source_rect, unsigned rop, uint32_t transparent_color) {
  DrawCommand command = NewCommand(dest, Kind::Image);
  command.image = source;
  command.sourceRect = source_rect;
  command.destX = x;
  command.destY = y;
  command.destWidth = width;
  command.destHeight = height;
  command.rop = rop;
  command.stretchMode = dest.State().StretchMode;
  command.brush = ToQBrush(dest.Brush());
  command.transparentColor = transparent_color;
  dest.Device().Execute(command);
}

int SetStretchBltMode(TCanvas& dc, int mode) {
  if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return std::exchange(dc.State().StretchMode, mode);
}
int GetStretchBltMode(TCanvas& dc) { return dc.State().StretchMode; }

namespace {

bool UsesSource(unsigned rop) { return ((rop >> 2) ^ rop) & 0x330000; }

// The source pixels as the destination sees them: a monochrome source
// takes the destination's text colour for 0 and background colour for 1; a
// colour source drawn on a monochrome destination becomes white where it has
// the source's background colour and black elsewhere.
QImage PrepareSource(const QImage& pixels, TCanvas& source, TCanvas& dest) {
  const bool source_mono = pixels.format() == QImage::Format_Mono;
  const bool dest_mono = dest.Caps().BitsPixel == 1;
  if (source_mono && !dest_mono)
    return detail::MonoToRgb32(pixels, detail::ToRgb24(GetTextColor(dest)), detail::ToRgb24(GetBkColor(dest)));
  if (source_mono) return detail::MonoToRgb32(pixels, 0, 0xFFFFFF);
  QImage rgb = detail::ToRgb32(pixels);
  if (!dest_mono) return rgb;
  const uint32_t key = detail::ToRgb24(GetBkColor(source));
  for (int y = 0; y < rgb.height(); ++y) {
    auto* line = reinterpret_cast<uint32_t*>(rgb.scanLine(y));
    for (int x = 0; x < rgb.width(); ++x) line[x] = (line[x] & 0xFFFFFF) == key ? 0xFFFFFFFF : 0xFF000000;
  }
  return rgb;
}

}  // namespace

bool PatBlt(TCanvas& dest, int x, int y, int width, int height, unsigned rop) {
  // The operation works on the brush and the target only.
  DrawCommand command = detail::FillCommand(dest, detail::ToQBrush(dest.Brush()));
  if (rop == BLACKNESS || rop == WHITENESS) command.brush = QBrush(rop == BLACKNESS ? Qt::black : Qt::white);
  else command.rop = rop;
  if (width < 0) {
    x += width;
    width = -width;
  }
  if (height < 0) {
    y += height;
    height = -height;
  }
  command.rects.push_back(QRect(x, y, width, height));
  dest.Device().Execute(command);
  return true;
}

bool StretchBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* src, int src_x,
                int src_y, int src_width, int src_height, unsigned rop) {
  if (!UsesSource(rop)) return PatBlt(dest, x, y, width, height, rop);
  if (!src) return false;
  QImage* pixels = src->Device().Pixels();
  if (!pixels || pixels->isNull()) return false;
  bool mirror_x = false, mirror_y = false;
  QRect source_rect = detail::MapToDevice(detail::DeviceTransform(src->State()), src_x, src_y, src_width,
                                          src_height, mirror_x, mirror_y);
  if (source_rect.isEmpty()) return false;
  // A mirrored source mirrors the destination instead.
  if (mirror_x) {
    x += width;
    width = -width;
  }
  if (mirror_y) {
    y += height;
    height = -height;
  }
  // Only the part read is converted: one picture blitted out of a long strip
  // (an image list's) converted the whole strip each time.
  const QRect read = source_rect & pixels->rect();
  if (read.isEmpty() || read == pixels->rect()) {
    detail::BlitImage(dest, x, y, width, height, PrepareSource(*pixels, *src, dest), source_rect, rop);
    return true;
  }
  source_rect.translate(-read.topLeft());
  detail::BlitImage(dest, x, y, width, height, PrepareSource(pixels->copy(read), *src, dest), source_rect, rop);
  return true;
}

bool BitBlt(TCanvas& dest, int x, int y, int width, int height, TCanvas* src, int src_x, int src_y,
            unsigned rop) {
  return StretchBlt(dest, x, y, width, height, src, src_x, src_y, width, height, rop);
}

// ---- device-independent bitmaps --------------------------------------------

int DibRowBytes(int width, int bit_count) { return int((int64_t(width) * bit_count + 31) / 32 * 4); }

namespace {

constexpr int64_t kMaxDibPixels = int64_t(1) << 28;

bool ValidHeader(const BITMAPINFOHEADER& h) {
  const int bits = h.biBitCount;
  if (h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  return int64_t(h.biWidth) * std::abs(int64_t(h.biHeight)) <= kMaxDibPixels;
}

int PaletteSize(const BITMAPINFOHEADER& h) {
  if (h.biBitCount > 8) return 0;
  const int full = 1 << h.biBitCount;
  return h.biClrUsed > 0 && int(h.biClrUsed) < full ? int(h.biClrUsed) : full;
}

// The DIB's pixels, top row first, as RGB32.
QImage DibToImage(const void* bits, const BITMAPINFO& info) {
  const BITMAPINFOHEADER& h = info.bmiHeader;
  const int width = h.biWidth, height = std::abs(h.biHeight), bpp = h.biBitCount;
  const int row_bytes = DibRowBytes(width, bpp), colors = PaletteSize(h);
  QImage image(width, height, QImage::Format_RGB32);
  const auto* data = static_cast<const uint8_t*>(bits);
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = data + int64_t(h.biHeight > 0 ? height - 1 - y : y) * row_bytes;
    auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      if (bpp >= 24) {
        const uint8_t* p = row + x * (bpp / 8);
        line[x] = qRgb(p[2], p[1], p[0]);
        continue;
      }
      const int index = bpp == 8 ? row[x] : bpp == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF : (row[x / 8] >> (7 - x % 8)) & 1;
      const RGBQUAD& c = info.bmiColors[index < colors ? index : 0];
      line[x] = qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
    }
  }
  return image;
}

}  // namespace

int StretchDIBits(TCanvas& dest, int x, int y, int width, int height, int src_x, int src_y,
                  int src_width, int src_height, const void* bits, const BITMAPINFO& info, unsigned,
                  unsigned rop) {
  if (!bits || !ValidHeader(info.bmiHeader)) return 0;
  const QImage image = DibToImage(bits, info);
  // In a bottom-up DIB the source's y counts from the bottom row.
  const int top = info.bmiHeader.biHeight > 0 ? image.height() - src_y - src_height : src_y;
  detail::BlitImage(dest, x, y, width, height, image, QRect(src_x, top, src_width, src_height), rop);
  return src_height;
}

int GetDIBits(TCanvas&, TBitmap& bitmap, int start, int lines, void* bits, BITMAPINFO& info, unsigned) {
  BITMAPINFOHEADER& h = info.bmiHeader;
  const QImage& image = bitmap.Data().image;
  if (h.biBitCount == 0) h.biBitCount = 24;
  h.biWidth = image.width();
  if (h.biHeight >= 0) h.biHeight = image.height();
  else h.biHeight = -image.height();
  h.biPlanes = 1;
  h.biCompression = BI_RGB;
  if (!ValidHeader(h)) return 0;
  const int bpp = h.biBitCount, row_bytes = DibRowBytes(image.width(), bpp);
  h.biSizeImage = uint32_t(row_bytes * image.height());
  const bool indexed = bpp <= 8;
  QImage source = indexed ? image : detail::ToRgb32(image);
  if (indexed) {
    // Indices into the bitmap's own colour table, which becomes the header's.
    if (image.format() != QImage::Format_Indexed8 && image.format() != QImage::Format_Mono) return 0;
    const auto table = image.colorTable();
    h.biClrUsed = uint32_t(std::min<qsizetype>(table.size(), 1 << bpp));
    for (uint32_t i = 0; i < h.biClrUsed; ++i)
      info.bmiColors[i] = {uint8_t(qBlue(table[i])), uint8_t(qGreen(table[i])), uint8_t(qRed(table[i])), 0};
  }
  if (!bits) return image.height();
  const int first = std::max(0, start), last = std::min(image.height(), start + lines);
  auto* out = static_cast<uint8_t*>(bits);
  for (int dib_row = first; dib_row < last; ++dib_row) {
    const int y = h.biHeight > 0 ? image.height() - 1 - dib_row : dib_row;
    uint8_t* row = out + int64_t(dib_row - first) * row_bytes;
    std::memset(row, 0, size_t(row_bytes));
    for (int x = 0; x < image.width(); ++x) {
      if (!indexed) {
        const QRgb c = reinterpret_cast<const QRgb*>(source.constScanLine(y))[x];
        uint8_t* p = row + x * (bpp / 8);
        p[0] = uint8_t(qBlue(c));
        p[1] = uint8_t(qGreen(c));
        p[2] = uint8_t(qRed(c));
        continue;
      }
      const int index = source.pixelIndex(x, y) & ((1 << bpp) - 1);
      if (bpp == 8) row[x] = uint8_t(index);
      else if (bpp == 4) row[x / 2] |= uint8_t(index << (x % 2 ? 0 : 4));
      else row[x / 8] |= uint8_t(index << (7 - x % 8));
    }
  }
  return last - first;
}

// ---- frames ---------------------------------------------------------------

namespace {

void EdgeLayer(TCanvas& dc, TRect& rect, unsigned flags, TColor top_left, TColor bottom_right) {
  DrawCommand tl = detail::FillCommand(dc, QBrush(detail::ToQColor(top_left)));
  DrawCommand br = detail::FillCommand(dc, QBrush(detail::ToQColor(bottom_right)));
  const int w = rect.Width(), h = rect.Height();
  if (flags & BF_TOP) tl.rects.push_back(QRect(rect.Left, rect.Top, w - 1, 1));
  if (flags & BF_LEFT) tl.rects.push_back(QRect(rect.Left, rect.Top, 1, h - 1));
  if (flags & BF_BOTTOM) br.rects.push_back(QRect(rect.Left, rect.Bottom - 1, w, 1));
  if (flags & BF_RIGHT) br.rects.push_back(QRect(rect.Right - 1, rect.Top, 1, h));
  dc.Device().Execute(tl);
  dc.Device().Execute(br);
  if (flags & BF_LEFT) ++rect.Left;
  if (flags & BF_TOP) ++rect.Top;
  if (flags & BF_RIGHT) --rect.Right;
  if (flags & BF_BOTTOM) --rect.Bottom;
}

}  // namespace

bool DrawEdge(TCanvas& dc, TRect& rect, unsigned edge, unsigned flags) {
  TRect inside = rect;
  const bool soft = flags & BF_SOFT, mono = flags & BF_MONO, flat = flags & BF_FLAT;
  auto colors = [&](bool raised, bool outer) -> std::pair<TColor, TColor> {
    if (mono) return {clWindowFrame, clWindowFrame};
    if (flat) return {clBtnShadow, clBtnShadow};
    if (raised) return outer ? std::pair{soft ? clBtnHighlight : cl3DLight, cl3DDkShadow}
                             : std::pair{soft ? cl3DLight : clBtnHighlight, clBtnShadow};
    return outer ? std::pair{soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight}
                 : std::pair{soft ? clBtnShadow : cl3DDkShadow, cl3DLight};
  };
  if (edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
    const auto [tl, br] = colors(edge & BDR_RAISEDOUTER, true);
    EdgeLayer(dc, inside, flags, tl, br);
  }
  if (edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
    const auto [tl, br] = colors(edge & BDR_RAISEDINNER, false);
    EdgeLayer(dc, inside, flags, tl, br);
  }
  if ((flags & BF_MIDDLE) && !inside.IsEmpty()) {
    DrawCommand fill = detail::FillCommand(dc, QBrush(detail::ToQColor(mono ? clWindow : clBtnFace)));
    fill.rects.push_back(QRect(inside.Left, inside.Top, inside.Width(), inside.Height()));
    dc.Device().Execute(fill);
  }
  if (flags & BF_ADJUST) rect = inside;
  return true;
}

bool DrawFocusRect(TCanvas& dc, const TRect& rect) {
  dc.DrawFocusRect(rect);
  return true;
}

}  // namespace lark
