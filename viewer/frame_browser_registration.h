#pragma once

namespace lark {

class TComponent;

// Lets forms name TFrameBrowser; safe to call more than once. Kept apart
// from the browser's header, whose document types share names with the
// form reader's.
void RegisterFrameBrowser();
[[nodiscard]] TComponent* NewFrameBrowser(TComponent* owner);

}  // namespace lark
