#include "platform/graphics/raster_ops_qt.h"

#include <algorithm>
#include <vector>

#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"

namespace lark::detail {

uint32_t ApplyRop3(unsigned rop, uint32_t p, uint32_t s, uint32_t d) {
  switch (rop) {
    case SRCCOPY: return s;
    case SRCAND: return s & d;
    case SRCPAINT: return s | d;
    case SRCINVERT: return s ^ d;
    case NOTSRCCOPY: return ~s;
    case DSna: return d & ~s;
    case SRCERASE: return s & ~d;
    case NOTSRCERASE: return ~(s | d);
    case MERGECOPY: return p & s;
    case MERGEPAINT: return ~s | d;
    case PATCOPY: return p;
    case PATINVERT: return p ^ d;
    case DSTINVERT: return ~d;
    case BLACKNESS: return 0;
    case WHITENESS: return 0xFFFFFFFF;
    default: break;
  }
  // Any other operation from its truth table: bit (p s d) of the index byte.
  const unsigned table = (rop >> 16) & 0xFF;
  uint32_t result = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!(table & (1u << i))) continue;
    result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return result;
}

QRegion VisibleArea(const QImage& target, const QRect& rect, const std::optional<QRegion>& clip) {
  QRegion area = QRegion(rect).intersected(target.rect());
  if (clip) area = area.intersected(*clip);
  return area;
}

namespace {

// For each destination column (or row) offset, the first source offset and
// the number of source pixels it stands for.
struct Span {
  int first;
  int count;
};

std::vector<Span> MapSpans(int dest_size, int source_size) {
  std::vector<Span> spans(size_t(std::abs(dest_size)));
  const int64_t n = std::abs(dest_size), m = source_size;
  for (int64_t i = 0; i < n; ++i) {
    const int64_t first = i * m / n;
    const int64_t next = std::max(first + 1, (i + 1) * m / n);
    spans[size_t(i)] = {int(first), int(next - first)};
  }
  return spans;
}

uint32_t SourcePixel(const QImage& source, int x, int y) {
  if (x < 0 || y < 0 || x >= source.width() || y >= source.height()) return 0;
  return reinterpret_cast<const uint32_t*>(source.constScanLine(y))[x] & 0xFFFFFF;
}

// The mean of each channel over the source pixels, rounded.
uint32_t Average(const QImage& source, int x0, int y0, const Span& sx, const Span& sy) {
  uint64_t red = 0, green = 0, blue = 0;
  for (int y = 0; y < sy.count; ++y)
    for (int x = 0; x < sx.count; ++x) {
      const uint32_t pixel = SourcePixel(source, x0 + sx.first + x, y0 + sy.first + y);
      red += pixel >> 16;
      green += (pixel >> 8) & 0xFF;
      blue += pixel & 0xFF;
    }
  const uint64_t count = uint64_t(sx.count) * uint64_t(sy.count);
  auto mean = [count](uint64_t sum) { return uint32_t((sum + count / 2) / count); };
  return mean(red) << 16 | mean(green) << 8 | mean(blue);
}

// The source colour for one destination pixel: the pixel itself, or, when
// shrinking, the AND / OR of every source pixel it replaces
// (BLACKONWHITE / WHITEONBLACK) or their average (HALFTONE).
uint32_t Sample(const QImage& source, int x0, int y0, const Span& sx, const Span& sy, int mode) {
  const bool shrinking = sx.count > 1 || sy.count > 1;
  if (shrinking && mode == HALFTONE) return Average(source, x0, y0, sx, sy);
  const bool combine = shrinking && (mode == BLACKONWHITE || mode == WHITEONBLACK);
  if (!combine) return SourcePixel(source, x0 + sx.first, y0 + sy.first);
  uint32_t value = mode == BLACKONWHITE ? 0xFFFFFF : 0;
  for (int y = 0; y < sy.count; ++y)
    for (int x = 0; x < sx.count; ++x) {
      const uint32_t pixel = SourcePixel(source, x0 + sx.first + x, y0 + sy.first + y);
      value = mode == BLACKONWHITE ? value & pixel : value | pixel;
    }
  return value;
}

}  // namespace

void RasterBlt(QImage& target, const QRect& dest_rect, bool mirror_x, bool mirror_y,
               const std::optional<QRegion>& clip,
               const QImage& source, const QRect& source_rect, unsigned rop, int stretch_mode,
               uint32_t pattern, uint32_t transparent) {
  if (dest_rect.isEmpty() || source_rect.isEmpty()) return;
  const QRect& normalized = dest_rect;
  const std::vector<Span> columns = MapSpans(dest_rect.width(), source_rect.width());
  const std::vector<Span> rows = MapSpans(dest_rect.height(), source_rect.height());
  for (const QRect& band : VisibleArea(target, normalized, clip)) {
    for (int y = band.top(); y <= band.bottom(); ++y) {
      const int row = mirror_y ? normalized.bottom() - y : y - normalized.top();
      auto* line = reinterpret_cast<uint32_t*>(target.scanLine(y));
      for (int x = band.left(); x <= band.right(); ++x) {
        const int column = mirror_x ? normalized.right() - x : x - normalized.left();
        const uint32_t s = Sample(source, source_rect.left(), source_rect.top(), columns[size_t(column)],
                                  rows[size_t(row)], stretch_mode);
        if (s == transparent) continue;
        const uint32_t d = line[x] & 0xFFFFFF;
        line[x] = 0xFF000000u | (ApplyRop3(rop, pattern, s, d) & 0xFFFFFF);
      }
    }
  }
}

void PatternBlt(QImage& target, const QRect& rect, const std::optional<QRegion>& clip, unsigned rop,
                uint32_t pattern) {
  for (const QRect& band : VisibleArea(target, rect, clip))
    for (int y = band.top(); y <= band.bottom(); ++y) {
      auto* line = reinterpret_cast<uint32_t*>(target.scanLine(y));
      for (int x = band.left(); x <= band.right(); ++x)
        line[x] = 0xFF000000u | (ApplyRop3(rop, pattern, 0, line[x] & 0xFFFFFF) & 0xFFFFFF);
    }
}

}  // namespace lark::detail
