// Feeds arbitrary text to the style-sheet reader three ways (a STYLE element,
// a linked sheet, a STYLE attribute)
// and reads back what the rules hold.

#include <cstddef>
#include <cstdint>
#include <string>

#include "html/properties.h"
#include "html/style_list.h"
#include "html/style_sheet_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lark;
  const std::string text(reinterpret_cast<const char*>(data), size);

  TStyleList styles;
  std::size_t next = 0;
  const TCharSource source = [&]() -> int {
    return next < text.size() ? static_cast<unsigned char>(text[next++]) : EofChar;
  };
  int ch = '>';
  ParseStyleSheet(styles, ch, source, "");

  ParseLinkedStyleSheet(styles, text, "/d/css/s.css");
  for (const auto& [key, props] : styles.Items()) {
    (void)props->GetBoxValues(1000, 1000);
    (void)props->GetListStyleImage();
  }

  TProperties attribute;
  ParseStyleAttribute(text, attribute);
  (void)attribute.GetBoxValues(1000, 1000);
  return 0;
}
