#include "platform/graphics/region.h"

#include <algorithm>
#include <cmath>

#include "platform/graphics/region_data_qt.h"

namespace lark {

using detail::RegionData;

TRegion::TRegion() : data_(std::make_unique<RegionData>()) {}
TRegion::TRegion(const TRegion& other) : data_(std::make_unique<RegionData>(*other.data_)) {}
TRegion& TRegion::operator=(const TRegion& other) {
  *data_ = *other.data_;
  return *this;
}
TRegion::TRegion(TRegion&& other) noexcept : data_(std::make_unique<RegionData>()) {
  std::swap(data_, other.data_);
}
TRegion& TRegion::operator=(TRegion&& other) noexcept {
  std::swap(data_, other.data_);
  return *this;
}
TRegion::~TRegion() = default;

bool TRegion::IsEmpty() const { return data_->region.isEmpty(); }
bool TRegion::Contains(int x, int y) const { return data_->region.contains(QPoint(x, y)); }

TRect TRegion::Bounds() const {
  const QRect r = data_->region.boundingRect();
  if (r.isEmpty()) return {};
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

std::vector<TRect> TRegion::Rects() const {
  std::vector<TRect> rects;
  for (const QRect& r : data_->region) rects.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  return rects;
}

int TRegion::Kind() const {
  if (data_->region.isEmpty()) return NULLREGION;
  return data_->region.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void TRegion::Offset(int dx, int dy) { data_->region.translate(dx, dy); }

namespace detail {
TRegion FromQRegion(const QRegion& region) {
  TRegion result;
  result.Data().region = region;
  return result;
}
}  // namespace detail

TRegion CreateRectRgn(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return detail::FromQRegion(QRegion(left, top, right - left, bottom - top));
}

TRegion CreateRectRgnIndirect(const TRect& rect) {
  return CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom);
}

TRegion CreateEllipticRgn(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
  const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
  QRegion region;
  if (rx <= 0 || ry <= 0) return detail::FromQRegion(region);
  for (int y = top; y < bottom; ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1) continue;
    const double half = rx * std::sqrt(1 - dy * dy);
    // Pixels whose centre x + 0.5 lies within [cx - half, cx + half].
    const int x0 = int(std::ceil(cx - half - 0.5));
    const int x1 = int(std::floor(cx + half - 0.5));
    if (x1 >= x0) region += QRect(x0, y, x1 - x0 + 1, 1);
  }
  return detail::FromQRegion(region);
}

TRegion CreatePolygonRgn(const TPoint* points, int count, int fill_mode) {
  QRegion region;
  if (count < 3 || !points) return detail::FromQRegion(region);
  int top = points[0].Y, bottom = points[0].Y;
  for (int i = 1; i < count; ++i) {
    top = std::min(top, points[i].Y);
    bottom = std::max(bottom, points[i].Y);
  }
  struct Crossing {
    double x;
    int winding;
  };
  std::vector<Crossing> crossings;
  for (int y = top; y < bottom; ++y) {
    const double sy = y + 0.5;
    crossings.clear();
    for (int i = 0; i < count; ++i) {
      const TPoint& a = points[i];
      const TPoint& b = points[(i + 1) % count];
      if (a.Y == b.Y) continue;
      const bool down = a.Y < b.Y;
      const double y0 = down ? a.Y : b.Y, y1 = down ? b.Y : a.Y;
      if (sy < y0 || sy >= y1) continue;
      const double x = a.X + (sy - a.Y) * double(b.X - a.X) / double(b.Y - a.Y);
      crossings.push_back({x, down ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += fill_mode == WINDING ? crossings[i].winding : 1;
      const bool inside = fill_mode == WINDING ? winding != 0 : (winding & 1) != 0;
      if (!inside) continue;
      // Pixels whose centre lies in [x_i, x_i+1).
      const int x0 = int(std::ceil(crossings[i].x - 0.5));
      const int x1 = int(std::ceil(crossings[i + 1].x - 0.5));
      if (x1 > x0) region += QRect(x0, y, x1 - x0, 1);
    }
  }
  return detail::FromQRegion(region);
}

TRegion ExtCreateRegion(const std::vector<TRect>& rects) {
  QRegion region;
  for (const TRect& r : rects)
    if (!r.IsEmpty()) region += QRect(r.Left, r.Top, r.Width(), r.Height());
  return detail::FromQRegion(region);
}

int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode) {
  const QRegion& qa = detail::ToQRegion(a);
  const QRegion& qb = detail::ToQRegion(b);
  QRegion result;
  switch (mode) {
    case RGN_AND: result = qa.intersected(qb); break;
    case RGN_OR: result = qa.united(qb); break;
    case RGN_XOR: result = qa.xored(qb); break;
    case RGN_DIFF: result = qa.subtracted(qb); break;
    case RGN_COPY: result = qa; break;
    default: return REGION_ERROR;
  }
  dest.Data().region = result;
  return dest.Kind();
}

bool PtInRegion(const TRegion& region, int x, int y) { return region.Contains(x, y); }

int OffsetRgn(TRegion& region, int dx, int dy) {
  region.Offset(dx, dy);
  return region.Kind();
}

bool EqualRgn(const TRegion& a, const TRegion& b) { return detail::ToQRegion(a) == detail::ToQRegion(b); }

}  // namespace lark
