#include <gtest/gtest.h>

#include <memory>

#include "platform/windows/form_registry.h"
#include "platform/windows/win_control.h"
#include "tests/platform_windows/window_fixture.h"
#include "viewer/frame_browser_registration.h"

namespace lark {
namespace {

TEST_F(WindowTest, FormsCanNameTheFrameBrowser) {
  RegisterFrameBrowser();
  const auto* factory = form_registry::FindClass("TFrameBrowser");
  ASSERT_NE(factory, nullptr);
  std::unique_ptr<TComponent> made((*factory)(nullptr));
  EXPECT_NE(dynamic_cast<TWinControl*>(made.get()), nullptr);
}

}  // namespace
}  // namespace lark
