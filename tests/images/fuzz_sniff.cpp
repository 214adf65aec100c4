// Feeds arbitrary bytes to the format sniffer, the PNG transparency walk and
// the still-image loader: exactly the bytes given are readable.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "html/image_loader.h"
#include "images/image_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lark::SetImageLogSink([](const std::string&) {});
  std::unique_ptr<uint8_t[]> exact(new uint8_t[size]);
  if (size) std::memcpy(exact.get(), data, size);
  (void)lark::GetImageType(exact.get(), size);
  lark::TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  (void)lark::IsTransparentPng(stream);
  lark::TTransparency transparent = size % 2 ? lark::trCorner : lark::trNone;
  std::unique_ptr<lark::TBitmap> mask;
  (void)lark::LoadImageFromStream(&stream, transparent, mask);
  return 0;
}
