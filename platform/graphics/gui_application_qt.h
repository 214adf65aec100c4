#pragma once

namespace lark::detail {

// Fonts, glyphs and widgets need an application object. The layer makes one
// (a widget application, so that windows can follow) the first time anything
// needs it, unless the program has made its own. It lives until the process
// ends.
void EnsureGuiApplication();

}  // namespace lark::detail
