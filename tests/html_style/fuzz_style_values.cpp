// Feeds arbitrary CSS value text to the colour reader, the length and
// font-size conversions, the descendant-key helpers and the style list.

#include <cstddef>
#include <cstdint>
#include <string>

#include "html/colors.h"
#include "html/properties.h"
#include "html/selector.h"
#include "html/style_list.h"

namespace {

// Splits the input at its first two NUL bytes: selector, property, value.
void Split(const std::string& input, std::string& selector, std::string& property, std::string& value) {
  const std::size_t first = input.find('\0');
  const std::size_t second = first == std::string::npos ? std::string::npos : input.find('\0', first + 1);
  selector = input.substr(0, first);
  property = first == std::string::npos ? "color" : input.substr(first + 1, second - first - 1);
  value = second == std::string::npos ? input : input.substr(second + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lark;
  const std::string input(reinterpret_cast<const char*>(data), size);
  TColor color = 0;
  (void)ColorFromString(input, false, color);
  (void)ColorFromString(input, true, color);
  (void)LengthConv(input, true, 1 << 30, 0, 1 << 20, 1 << 19);
  (void)FontSizeConv(input, 1e9, 12);
  (void)SplitDescendantKey(input);
  (void)MakeDescendantKey(input, "0000000010");

  std::string selector, property, value;
  Split(input, selector, property, value);
  TStyleList styles;
  styles.AddModifyProp(selector, property, value);
  styles.AddModifyProp(MakeDescendantKey(selector, styles.NextSequence()), property, value);
  TProperties props;
  props.AddPropertyByName(property, value);
  for (int i = 0; i < css::PropCount; ++i) props.AddPropertyByIndex(i, value);
  PositionRec x, y;
  props.GetBackgroundPos(16, 8, x, y);
  bool percent = false;
  (void)props.GetTextIndent(percent);
  (void)props.GetLineHeight(1 << 30);
  (void)props.GetBoxValues(1 << 30, 1 << 30);
  std::string image;
  (void)props.GetBackgroundImage(image);
  (void)props.GetListStyleImage();
  (void)props.GetZIndex();
  return 0;
}
