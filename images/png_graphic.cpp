#include "images/png_graphic.h"

#include "images/bitmap_conversion.h"
#include "images/png_image.h"
#include "platform/core/stream.h"
#include "platform/graphics/picture.h"

namespace lark {

void TPNGGraphic::LoadFromStream(TStream& stream) {
  TPNGImage png;
  png.LoadFromString(stream.ReadRest());
  Assign(*ToBitmap(png.Bitmap()));
}

void TPNGGraphic::SaveToStream(TStream& stream) const {
  TPNGImage png;
  png.Bitmap() = FromBitmap(*this);
  std::vector<uint8_t> bytes;
  png.SaveToStream(bytes);
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void RegisterPNGFormat() {
  TPicture::RegisterFileFormat("PNG", "Portable Network Graphics", MakeGraphic<TPNGGraphic>);
}

void UnregisterPNGFormat() { TPicture::UnregisterGraphicClass(MakeGraphic<TPNGGraphic>); }

}  // namespace lark
