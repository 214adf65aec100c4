#pragma once

namespace lark {

class TComponent;

// Lets forms name TFrameBrowser; safe to call more than once.
void RegisterFrameBrowser();
[[nodiscard]] TComponent* NewFrameBrowser(TComponent* owner);

}  // namespace lark
