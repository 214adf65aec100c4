#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/url_lists.h"

// The list test compares canonical forms, so the form must be a fixed point.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  const std::string once = lark::CanonicalURL(url);
  if (lark::CanonicalURL(once) != once) std::abort();
  return 0;
}
