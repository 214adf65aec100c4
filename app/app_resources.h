#pragma once

namespace lark {

// Registers the resources the browser carries inside itself ("AviDefault",
// the busy animation played when no "Browser.avi" lies beside the program).
// Defined in a source the build generates.
void RegisterAppResources();

}  // namespace lark
