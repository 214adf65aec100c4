#include "controls/control_cursors.h"

#include <array>
#include <string>
#include <string_view>

#include "platform/graphics/cursor_file.h"
#include "platform/graphics/resources.h"
#include "platform/windows/application.h"

namespace lark {
namespace {

// The pictures: "X" black, "o" white, anything else shows what lies below.
// The hot spot is the fingertip of the pointing hand and the middle of the
// gripping one.
constexpr std::array<std::string_view, 22> kPointingHand = {
    "     XX",
    "    XooX",
    "    XooX",
    "    XooX",
    "    XooX",
    "    XooXXX",
    "    XooXooXXX",
    "    XooXooXooXX",
    "XXX XooXooXooXoX",
    "XooXXooooooooXooX",
    "XoooXoooooooooooX",
    " XooXoooooooooooX",
    "  XoXoooooooooooX",
    "  XooooooooooooX",
    "   XoooooooooooX",
    "   XooooooooooX",
    "    XoooooooooX",
    "    XooooooooX",
    "     XoooooooX",
    "     XoooooooX",
    "     XXXXXXXXX",
    "",
};
constexpr std::array<std::string_view, 22> kGrippingHand = {
    "",
    "",
    "",
    "",
    "",
    "    XX XX XX",
    "   XooXooXooXX",
    "   XooXooXooXoX",
    "    XoooooooXooX",
    "   XXoooooooooooX",
    "  XooXooooooooooX",
    "  XoooooooooooooX",
    "   XooooooooooooX",
    "    XoooooooooooX",
    "    XooooooooooX",
    "     XoooooooooX",
    "     XooooooooX",
    "      XoooooooX",
    "      XoooooooX",
    "      XXXXXXXXX",
    "",
    "",
};

}  // namespace

void RegisterControlCursors() {
  // Resources must live as long as the program.
  static const std::string pointing = CursorFile(kPointingHand, 5, 0);
  static const std::string gripping = CursorFile(kGrippingHand, 9, 12);
  RegisterResource("RX_HANDCUR", pointing);
  RegisterResource("RX_DRAGCUR", gripping);
  Screen()->RegisterCursor(crHand, "RX_HANDCUR");
  Screen()->RegisterCursor(crDragHand, "RX_DRAGCUR");
}

}  // namespace lark
