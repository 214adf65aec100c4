#pragma once

// Layer internal: the Qt side of TRegion.

#include <QRegion>

#include "platform/graphics/region.h"

namespace lark::detail {

struct RegionData {
  QRegion region;
};

inline const QRegion& ToQRegion(const TRegion& region) { return region.Data().region; }
TRegion FromQRegion(const QRegion& region);

}  // namespace lark::detail
