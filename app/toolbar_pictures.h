#pragma once

namespace lark {

// Registers the main window's toolbar and menu pictures ("ToolbarPictures",
// "ToolbarPicturesGrey", "MenuPictures"). Defined in a source the build
// generates.
void RegisterToolbarPictures();

}  // namespace lark
