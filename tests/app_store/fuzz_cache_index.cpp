// A cache index as a damaged disk or a hostile program may leave it: only
// safe entries come out, whatever the bytes.
#include <cstdint>
#include <string_view>

#include "app/disk_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const auto& entry : lark::TDiskCache::ParseIndex(text)) {
    if (!lark::TDiskCache::IsCacheFileName(entry.FileName) || entry.Key.empty() ||
        entry.FileName.find('/') != std::string::npos)
      __builtin_trap();
  }
  (void)lark::TDiskCache::CacheKey(text);
  return 0;
}
