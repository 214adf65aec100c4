#include "html/image_map.h"

#include <algorithm>
#include <cstdlib>

#include "html/attribute_list.h"
#include "html/document_utils.h"
#include "html/url_target.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

// More coordinates than a 150-point polygon are not read.
constexpr std::size_t kMaxCoords = 301;
// Coordinates are held within 2^28 pixels, far past any picture, so that a
// shape's far edge (x + r + 1, x2 + 1) and its width still fit an int.
constexpr int kMaxMapCoordinate = 1 << 28;

std::vector<int> ReadCoords(const std::string& text) {
  std::vector<int> coords;
  const std::string s = Trim(text);
  std::size_t pos = 0;
  while (pos < s.size() && coords.size() < kMaxCoords) {
    while (pos < s.size() && (s[pos] == ',' || s[pos] == ' ')) ++pos;
    if (pos >= s.size()) break;
    std::size_t end = pos;
    while (end < s.size() && s[end] != ',' && s[end] != ' ') ++end;
    coords.push_back(std::clamp(StrToIntDef(s.substr(pos, end - pos), 0), -kMaxMapCoordinate, kMaxMapCoordinate));
    pos = end;
  }
  return coords;
}

enum class Shape { Rectangle, Circle, Polygon };

Shape ReadShape(const std::string& text) {
  const std::string shape = LowerCase(text).substr(0, 4);
  if (shape == "circ") return Shape::Circle;
  if (shape == "poly") return Shape::Polygon;
  return Shape::Rectangle;
}

bool MakeRegion(Shape shape, const std::vector<int>& c, TRegion& region) {
  switch (shape) {
    case Shape::Rectangle:
      if (c.size() < 4) return false;
      region = CreateRectRgn(c[0], c[1], c[2] + 1, c[3] + 1);
      return true;
    case Shape::Circle: {
      if (c.size() < 3) return false;
      region = CreateEllipticRgn(c[0] - c[2], c[1] - c[2], c[0] + c[2] + 1, c[1] + c[2] + 1);
      return true;
    }
    case Shape::Polygon: {
      if (c.size() < 6) return false;
      std::vector<TPoint> points;
      for (std::size_t i = 0; i + 1 < c.size(); i += 2) points.push_back(Point(c[i], c[i + 1]));
      region = CreatePolygonRgn(points.data(), static_cast<int>(points.size()), WINDING);
      return true;
    }
  }
  return false;
}

}  // namespace

void TMapItem::AddArea(const TAttributeList& attributes) {
  std::vector<int> coords;
  TArea area;
  Shape shape = Shape::Rectangle;
  for (const auto& attribute : attributes) {
    switch (attribute->Which) {
      case CoordsSy: coords = ReadCoords(attribute->Name); break;
      case HrefSy: area.HRef = attribute->Name; break;
      case TargetSy: area.Target = attribute->Name; break;
      case NoHrefSy: area.HRef.clear(); break;
      case ShapeSy: shape = ReadShape(attribute->Name); break;
      default: break;
    }
  }
  if (!MakeRegion(shape, coords, area.Region)) return;
  Areas.push_back(std::move(area));
}

bool TMapItem::GetURL(int x, int y, std::unique_ptr<TUrlTarget>& urlTarget) const {
  for (const TArea& area : Areas) {
    if (!PtInRegion(area.Region, x, y)) continue;
    if (area.HRef.empty()) return false;
    urlTarget = std::make_unique<TUrlTarget>();
    urlTarget->URL = area.HRef;
    urlTarget->Target = area.Target;
    return true;
  }
  return false;
}

}  // namespace lark
