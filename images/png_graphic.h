#pragma once

#include "platform/graphics/bitmap.h"

namespace lark {

// The picture class's view of a PNG file: a bitmap whose stream form is
// PNG, decoded and written by TPNGImage. It is what the picture registry
// makes for ".png" files.
class TPNGGraphic : public TBitmap {
 public:
  // Raises the PNG decoder's exceptions on bad data.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) const override;
};

// At start-up: ".png" files load through TPicture as TPNGGraphic, under
// the description "Portable Network Graphics". UnregisterPNGFormat undoes it.
void RegisterPNGFormat();
void UnregisterPNGFormat();

}  // namespace lark
