// Feeds arbitrary bytes to the GIF reader and plays the animation a little:
// it must refuse or decode, never crash, overrun or allocate without bound.
#include <cstddef>
#include <cstdint>

#include "images/gif_image.h"
#include "images/image_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lark::SetImageLogSink([](const std::string&) {});
  bool nonAnimated = false;
  std::unique_ptr<lark::TGIFImage> image = lark::CreateAGifFromStream(nonAnimated, data, size);
  if (!image) return 0;
  (void)image->GetCurrentBitmap();
  std::unique_ptr<lark::TGIFImage> copy = lark::TGIFImage::CreateCopy(*image);
  image.reset();
  copy->SetAnimate(true);
  uint32_t now = copy->LastTime;
  for (int tick = 0; tick < 2 * copy->NumFrames + 2; ++tick) copy->CheckTimeAt(now += 1000000);
  return 0;
}
