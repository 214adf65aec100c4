#include "platform/core/file_routines.h"
#include "tests/app_main/main_window_fixture.h"
#include "viewer/frame_browser.h"

namespace lark {
namespace {

using MainWindowStart = MainWindowTest;

TEST_F(MainWindowStart, HomeSwitchShowsALocalPage) {
  Open({"/home=" + StartPage()});
  EXPECT_EQ(ShownURL(), FileURL("start.html"));
  EXPECT_EQ(ShownTitle(), "Larkspan");
  EXPECT_EQ(window_->Caption(), FileURL("start.html"));
}

}  // namespace
}  // namespace lark
