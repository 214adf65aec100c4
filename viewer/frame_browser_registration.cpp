#include "viewer/frame_browser_registration.h"

#include "platform/windows/form_registry.h"

namespace lark {

void RegisterFrameBrowser() { form_registry::RegisterClass("TFrameBrowser", NewFrameBrowser); }

}  // namespace lark
