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

namespace {

// Shapes are scan-converted within 16-bit coordinates, the space the program
// was written for; rows outside are cut off. That also bounds the work a
// shape from a document (an image map) can cause.
constexpr int kMinCoordinate = -32768;
constexpr int kMaxCoordinate = 32767;
// Polygons beyond this many points, or regions beyond this many row spans,
// are cut short: a hostile page cannot make a region take gigabytes.
constexpr int kMaxPolygonPoints = 16384;
constexpr size_t kMaxSpans = size_t(1) << 20;

int ClampCoordinate(long long v) { return int(std::clamp<long long>(v, kMinCoordinate, kMaxCoordinate)); }

// Collects one-pixel-high spans row by row, top to bottom and left to right
// within a row, merging spans that touch, and makes the region at once.
class SpanCollector {
 public:
  void Add(int y, int x0, int x1) {
    if (x1 <= x0 || rects_.size() >= kMaxSpans) return;
    if (!rects_.empty() && rects_.back().y() == y && rects_.back().right() + 1 >= x0) {
      QRect& last = rects_.back();
      last.setRight(std::max(last.right(), x1 - 1));
      return;
    }
    rects_.push_back(QRect(x0, y, x1 - x0, 1));
  }
  TRegion Region() const {
    QRegion region;
    region.setRects(rects_.data(), int(rects_.size()));
    return detail::FromQRegion(region);
  }

 private:
  std::vector<QRect> rects_;
};

}  // namespace

TRegion CreateEllipticRgn(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  const double cx = (double(left) + right) / 2.0, cy = (double(top) + bottom) / 2.0;
  const double rx = (double(right) - left) / 2.0, ry = (double(bottom) - top) / 2.0;
  SpanCollector spans;
  if (rx <= 0 || ry <= 0) return spans.Region();
  for (int y = ClampCoordinate(top); y < ClampCoordinate(bottom); ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1) continue;
    const double half = rx * std::sqrt(1 - dy * dy);
    // Pixels whose centre x + 0.5 lies within [cx - half, cx + half].
    const long long x0 = (long long)std::ceil(cx - half - 0.5);
    const long long x1 = (long long)std::floor(cx + half - 0.5) + 1;
    spans.Add(y, ClampCoordinate(x0), ClampCoordinate(x1));
  }
  return spans.Region();
}

namespace {

struct Edge {
  double top, bottom;  // y range, top < bottom
  double x_top, slope;  // x at top, dx per dy
  int winding;          // +1 downwards, -1 upwards
};

struct Crossing {
  double x;
  int winding;
};

std::vector<Edge> PolygonEdges(const TPoint* points, int count) {
  std::vector<Edge> edges;
  for (int i = 0; i < count; ++i) {
    const TPoint& a = points[i];
    const TPoint& b = points[(i + 1) % count];
    if (a.Y == b.Y) continue;
    const bool down = a.Y < b.Y;
    const TPoint& upper = down ? a : b;
    const TPoint& lower = down ? b : a;
    edges.push_back({double(upper.Y), double(lower.Y), double(upper.X),
                     (double(lower.X) - upper.X) / (double(lower.Y) - upper.Y), down ? 1 : -1});
  }
  std::sort(edges.begin(), edges.end(), [](const Edge& l, const Edge& r) { return l.top < r.top; });
  return edges;
}

}  // namespace

TRegion CreatePolygonRgn(const TPoint* points, int count, int fill_mode) {
  SpanCollector spans;
  if (count < 3 || !points) return spans.Region();
  const std::vector<Edge> edges = PolygonEdges(points, std::min(count, kMaxPolygonPoints));
  // Rows are sampled at their centres; only the edges that span a row are
  // looked at, and the work stops after kMaxCrossings edge crossings.
  constexpr size_t kMaxCrossings = size_t(1) << 22;
  size_t crossings_seen = 0, next = 0;
  std::vector<const Edge*> active;
  std::vector<Crossing> crossings;
  for (int y = kMinCoordinate; y < kMaxCoordinate && crossings_seen < kMaxCrossings; ++y) {
    if (active.empty()) {
      if (next == edges.size()) break;
      y = std::max(y, ClampCoordinate((long long)std::ceil(edges[next].top - 0.5)));
    }
    const double row = y + 0.5;
    while (next < edges.size() && edges[next].top <= row) active.push_back(&edges[next++]);
    active.erase(std::remove_if(active.begin(), active.end(), [&](const Edge* e) { return row >= e->bottom; }),
                 active.end());
    crossings.clear();
    for (const Edge* e : active) crossings.push_back({e->x_top + (row - e->top) * e->slope, e->winding});
    crossings_seen += crossings.size();
    std::sort(crossings.begin(), crossings.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += fill_mode == WINDING ? crossings[i].winding : 1;
      const bool inside = fill_mode == WINDING ? winding != 0 : (winding & 1) != 0;
      // Pixels whose centre lies in [x_i, x_i+1).
      if (inside)
        spans.Add(y, ClampCoordinate((long long)std::ceil(crossings[i].x - 0.5)),
                  ClampCoordinate((long long)std::ceil(crossings[i + 1].x - 0.5)));
    }
  }
  return spans.Region();
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
