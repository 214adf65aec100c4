#include "app/preview_cursors.h"

#include <array>
#include <string>
#include <string_view>

#include "platform/graphics/cursor_file.h"
#include "platform/graphics/resources.h"
#include "platform/windows/application.h"

namespace lark {
namespace {

// "X" black, "o" white, anything else shows what lies below. The magnifier's
// hot spot is the middle of its glass, the hand's the middle of its palm.
constexpr std::array<std::string_view, 22> kMagnifier = {
    "     XXXXX",
    "   XXoooooXX",
    "  XoooooooooX",
    " XoooooooooooX",
    " XoooooooooooX",
    "XoooooooooooooX",
    "XoooooooooooooX",
    "XoooooooooooooX",
    "XoooooooooooooX",
    "XoooooooooooooX",
    " XoooooooooooX",
    " XoooooooooooX",
    "  XoooooooooXXX",
    "   XXoooooXXXXX",
    "     XXXXX  XXXX",
    "             XXXX",
    "              XXXX",
    "               XXXX",
    "                XXXX",
    "                 XXXX",
    "                  XXX",
    "",
};
constexpr std::array<std::string_view, 22> kOpenHand = {
    "       XX",
    "   XX XooXXX",
    "  XooXXooXooX",
    "  XooXXooXooX X",
    "   XooXooXooXXoX",
    "   XooXooXooXooX",
    " XX XoooooooXooX",
    "XooXXooooooooooX",
    "XoooXooooooooooX",
    " XooooooooooooX",
    "  XoooooooooooX",
    "  XooooooooooX",
    "   XoooooooooX",
    "    XooooooooX",
    "     XoooooooX",
    "     XoooooooX",
    "     XXXXXXXXX",
    "",
    "",
    "",
    "",
    "",
};

}  // namespace

void RegisterPreviewCursors() {
  // Resources must live as long as the program.
  static const std::string magnifier = CursorFile(kMagnifier, 7, 7);
  static const std::string hand = CursorFile(kOpenHand, 8, 9);
  RegisterResource("ZOOM_CURSOR", magnifier);
  RegisterResource("HAND_CURSOR", hand);
  Screen()->RegisterCursor(crZoom, "ZOOM_CURSOR");
  Screen()->RegisterCursor(crPan, "HAND_CURSOR");
}

}  // namespace lark
