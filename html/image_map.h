#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/object.h"
#include "platform/graphics/region.h"

namespace lark {

class TAttributeList;
class TUrlTarget;

// One client-side image map: its areas in document order.
class TMapItem : public TObject {
 public:
  struct TArea {
    std::string HRef;  // empty for NOHREF
    std::string Target;
    TRegion Region;
  };

  // Reads one AREA element. Areas with too few coordinates for their shape
  // are ignored.
  void AddArea(const TAttributeList& attributes);
  // The first area holding the point decides: a link gives a new target and
  // true; NOHREF, or no area, gives false.
  [[nodiscard]] bool GetURL(int x, int y, std::unique_ptr<TUrlTarget>& urlTarget) const;

  std::string MapName;  // compared with an image's USEMAP name
  std::vector<TArea> Areas;
};

}  // namespace lark
