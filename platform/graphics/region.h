#pragma once

#include <memory>
#include <vector>

#include "platform/graphics/geometry.h"

namespace lark {

// Region kinds returned by CombineRgn and the clip functions.
constexpr int REGION_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

enum { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
// Polygon fill modes.
enum { ALTERNATE = 1, WINDING = 2 };

namespace detail {
struct RegionData;
}

// A set of pixels in device coordinates. A pixel belongs to a shape when its
// centre lies inside it, so rectangles keep their right and bottom edges
// exclusive. Copies are independent values.
class TRegion {
 public:
  TRegion();
  TRegion(const TRegion& other);
  TRegion& operator=(const TRegion& other);
  TRegion(TRegion&&) noexcept;
  TRegion& operator=(TRegion&&) noexcept;
  ~TRegion();

  [[nodiscard]] bool IsEmpty() const;
  [[nodiscard]] bool Contains(int x, int y) const;
  // The smallest rectangle around the region (empty for an empty region).
  [[nodiscard]] TRect Bounds() const;
  // Non-overlapping bands of rectangles that make up the region.
  [[nodiscard]] std::vector<TRect> Rects() const;
  // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
  [[nodiscard]] int Kind() const;
  void Offset(int dx, int dy);

  // Layer internal.
  detail::RegionData& Data() { return *data_; }
  const detail::RegionData& Data() const { return *data_; }

 private:
  std::unique_ptr<detail::RegionData> data_;
};

[[nodiscard]] TRegion CreateRectRgn(int left, int top, int right, int bottom);
[[nodiscard]] TRegion CreateRectRgnIndirect(const TRect& rect);
// The ellipse inscribed in the rectangle.
[[nodiscard]] TRegion CreateEllipticRgn(int left, int top, int right, int bottom);
[[nodiscard]] TRegion CreatePolygonRgn(const TPoint* points, int count, int fill_mode);
// The union of the rectangles.
[[nodiscard]] TRegion ExtCreateRegion(const std::vector<TRect>& rects);

// dest := a <mode> b (b is ignored for RGN_COPY). dest may be a or b.
// Returns the kind of the result.
int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode);
[[nodiscard]] bool PtInRegion(const TRegion& region, int x, int y);
int OffsetRgn(TRegion& region, int dx, int dy);
[[nodiscard]] bool EqualRgn(const TRegion& a, const TRegion& b);

}  // namespace lark
