// Form resources come from files beside the program: the parser must turn
// any text into a description or a clear error, never crash or recurse
// without bound.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/windows/form_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    lark::TFormObject description = lark::ParseFormResource(text, "fuzz.lfm");
    (void)description;
  } catch (const lark::EFormResourceError&) {
  }
  return 0;
}
