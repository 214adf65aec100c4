// The real program saving from nginx: an http ".zip" link downloads through
// the dialog, and the Save command (menu and tool button) saves the page.
#include <filesystem>

#include "tests/app_e2e/larkspan_fixture.h"
#include "tests/net/nginx_peer.h"
#include "tests/support/test_files.h"

namespace lark::test {
namespace {

constexpr char kPage[] =
    "<html><head><title>Files</title></head><body><a href=\"/file.zip\"><font size=7>THE LINK THE LINK</font></a>"
    "</body></html>";

class LarkspanDownloads : public LarkspanTest {
 protected:
  void SetUp() override {
    LarkspanTest::SetUp();
    if (IsSkipped()) return;
    nginx_.WriteFile("files.html", kPage);
    nginx_.WritePatternFile("file.zip", 8 << 20);
    nginx_.Start();
    ASSERT_TRUE(nginx_.Started()) << nginx_.Error();
    Start({"/home=" + nginx_.Url("/files.html")});
  }
  TempDir folder_;
  NginxPeer nginx_;
};

TEST_F(LarkspanDownloads, ZipLinkAndSaveCommand) {
  const std::string zip = folder_.File("file.zip");
  ASSERT_TRUE(program->Command("answer dialog ok " + zip).ok);
  ASSERT_TRUE(program->Command("click FrameBrowser 60 20").ok);
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(zip); }, kIdleMs)) << program->Output();
  EXPECT_EQ(ReadFile(zip), ReadFile(nginx_.Root() + "/file.zip"));
  ASSERT_TRUE(program->Command("idle").ok);
  ASSERT_TRUE(program->Command("answer dialog ok " + folder_.File("menu")).ok);
  const ControlReply chosen = program->Command("choose File/Save...");
  ASSERT_TRUE(chosen.ok) << chosen.Text() << " " << program->Command("menu File").Text();
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(folder_.File("menu.html")); }, kIdleMs));
  EXPECT_EQ(ReadFile(folder_.File("menu.html")), kPage);
  ASSERT_TRUE(program->Command("idle").ok);
  ASSERT_TRUE(program->Command("answer dialog ok " + folder_.File("button.htm")).ok);
  ASSERT_TRUE(program->Command("click tbSave").ok);
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(folder_.File("button.htm")); }, kIdleMs));
  EXPECT_EQ(ReadFile(folder_.File("button.htm")), kPage);
  EXPECT_FALSE(std::filesystem::exists(folder_.File("button.htm.html")));
}

}  // namespace
}  // namespace lark::test
