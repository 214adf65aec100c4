#pragma once

namespace lark {

// Makes the style's standard pictures (the menu bar's overflow arrow, message
// box and dialog icons) be read when first drawn rather than when a widget is
// made. Reading one goes through the toolkit's image reader, which loads every
// image-format plugin it has first: at start-up that cost the menu bar a few
// milliseconds for a button that is hidden unless the menus overflow. Called
// once, right after the application object exists.
void DeferStandardIcons();

}  // namespace lark
