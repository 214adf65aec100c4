// Regions from coordinates a document gives (image maps): any numbers make a
// bounded region quickly, and combining and point tests stay within it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/graphics/region.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<int32_t> numbers(size / 4);
  if (!numbers.empty()) std::memcpy(numbers.data(), data, numbers.size() * 4);
  std::vector<lark::TPoint> points;
  for (size_t i = 0; i + 1 < numbers.size(); i += 2) points.push_back({numbers[i], numbers[i + 1]});
  lark::TRegion shape = lark::CreatePolygonRgn(points.data(), int(points.size()), size % 2 ? lark::WINDING : lark::ALTERNATE);
  if (numbers.size() >= 4) {
    const lark::TRegion ellipse = lark::CreateEllipticRgn(numbers[0], numbers[1], numbers[2], numbers[3]);
    lark::CombineRgn(shape, shape, ellipse, int(size % 5) + 1);
  }
  const lark::TRect bounds = shape.Bounds();
  if (!shape.IsEmpty() && !lark::PtInRegion(shape, bounds.Left, bounds.Top) &&
      !lark::PtInRegion(shape, bounds.Right, bounds.Bottom))
    (void)shape.Rects();
  return 0;
}
