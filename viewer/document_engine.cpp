#include "viewer/document_engine.h"

#include <array>
#include <string>
#include <string_view>

#include "html/image_loader.h"
#include "html/style_sheet_parser.h"
#include "html/text_collector.h"
#include "platform/graphics/cursor_file.h"
#include "platform/graphics/resources.h"
#include "platform/windows/shell.h"

namespace lark {

namespace {

// "X" black, "o" white, anything else see-through.
constexpr std::array<std::string_view, 20> kLinkHand = {
    "    XX",          "   XooX",         "   XooX",         "   XooX",         "   XooXXX",
    "   XooXooXX",     "   XooXooXoXX",   "XX XooXooXooXoX", "XoXXooooooooXoX", "XooXoooooooooX",
    " XoXoooooooooX",  " XooooooooooX",   "  XoooooooooX",   "  XoooooooooX",   "   XoooooooX",
    "   XoooooooX",    "    XooooooX",    "    XooooooX",    "    XXXXXXXX",    "",
};
constexpr std::array<std::string_view, 18> kTextBeam = {
    "XXX XXX", "   X",    "   X",    "   X", "   X", "   X", "   X", "   X", "   X",
    "   X",    "   X",    "   X",    "   X", "   X", "   X", "   X", "   X", "XXX XXX",
};
constexpr std::array<std::string_view, 21> kUpDown = {
    "     X",      "    XoX",     "   XoooX",    "  XoooooX",   " XXXXoXXXX",  "    XoX",   "    XoX",
    "    XoX",     "   XXXXX",    "   XoooX",    "   XoXoX",    "   XoooX",    "   XXXXX",  "    XoX",
    "    XoX",     "    XoX",     " XXXXoXXXX",  "  XoooooX",   "   XoooX",    "    XoX",   "     X",
};
constexpr std::array<std::string_view, 13> kUpOnly = {
    "     X",     "    XoX",   "   XoooX",  "  XoooooX", " XXXXoXXXX", "    XoX", "    XoX",
    "    XoX",    "   XXXXX",  "   XoooX",  "   XoXoX",  "   XoooX",   "   XXXXX",
};
constexpr std::array<std::string_view, 13> kDownOnly = {
    "   XXXXX",   "   XoooX",  "   XoXoX",  "   XoooX",  "   XXXXX",   "    XoX", "    XoX",
    "    XoX",    " XXXXoXXXX", "  XoooooX", "   XoooX", "    XoX",    "     X",
};

void RegisterDocumentCursors() {
  // Resources must live as long as the program.
  static const std::string link = CursorFile(kLinkHand, 4, 0);
  static const std::string text = CursorFile(kTextBeam, 3, 9);
  static const std::string upDown = CursorFile(kUpDown, 5, 10);
  static const std::string upOnly = CursorFile(kUpOnly, 5, 10);
  static const std::string downOnly = CursorFile(kDownOnly, 5, 2);
  RegisterResource("1003", link);
  RegisterResource("1006", text);
  RegisterResource("UPDOWNCURSOR", upDown);
  RegisterResource("UPONLYCURSOR", upOnly);
  RegisterResource("DOWNONLYCURSOR", downOnly);
}

}  // namespace

void StartDocumentEngine() {
  static bool started = false;
  if (started) return;
  started = true;
  RegisterDocumentCursors();
  StartImageUnit();
  InstallStyleAttributeParser();
  SetClipboardWriter([](const std::string& text) { Clipboard()->SetAsText(text); });
}

}  // namespace lark
