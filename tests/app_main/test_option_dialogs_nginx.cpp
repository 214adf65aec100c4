#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>

#include "app/font_colors_form.h"
#include "app/proxy_form.h"
#include "app/main_window.h"
#include "controls/color_combos.h"
#include "platform/windows/application.h"
#include "platform/windows/button.h"
#include "platform/windows/edit.h"
#include "platform/windows/label.h"
#include "platform/windows/menus.h"
#include "platform/windows/small_controls.h"
#include "platform/windows/test_driver.h"
#include "tests/app_main/main_window_fixture.h"
#include "tests/net/nginx_peer.h"
#include "tests/support/loopback_port.h"
#include "tests/support/peer_process.h"
#include "viewer/frame_browser.h"
#include "viewer/html_viewer.h"

namespace lark {
namespace {

// The page browsed comes from nginx, which logs every request for it.
class OptionDialogsOverNginx : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    nginx_.ServerConfig = "    access_log " + logs_.Path() + "/access.log;\n";
    nginx_.WriteFile("page.html", "<html><body>Words on the page</body></html>");
    nginx_.WriteFile("other.html", "<html><head><title>Other</title></head><body>Another page</body></html>");
    nginx_.Start();
    ASSERT_TRUE(nginx_.Started()) << nginx_.Error();
  }
  [[nodiscard]] static std::string Log(const std::string& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  [[nodiscard]] int PageRequests() const {
    const std::string log = Log(logs_.Path() + "/access.log");
    int count = 0;
    for (std::size_t at = log.find("GET /page.html"); at != std::string::npos; at = log.find("GET /page.html", at + 1))
      ++count;
    return count;
  }

  test::TempDir logs_;
  test::NginxPeer nginx_;
};

// What the sample shows, sampled every third pixel: the pixels of `color`
// and a checksum of everything.
struct Sample {
  int colored = 0;
  std::uint64_t sum = 0;
};
Sample Sampled(TfrmFontColors& dialog, std::uint32_t color) {
  Sample sample;
  THTMLViewer& viewer = *dialog.FontViewer;
  for (int y = 2; y < viewer.Height() - 2; y += 3)
    for (int x = 2; x < viewer.Width() - 20; x += 3) {
      const std::uint32_t pixel = test_driver::PixelAt(&viewer, x, y);
      sample.colored += pixel == color;
      sample.sum = sample.sum * 31 + pixel + static_cast<std::uint64_t>(x * 7 + y);
    }
  return sample;
}

TEST_F(OptionDialogsOverNginx, FontColorsFollowTheControlsResetRestoresAndOkReloadsWithTheNewDefaults) {
  Open({"/home=" + nginx_.Url("/page.html")});
  ASSERT_EQ(PageRequests(), 1);
  TFrameBrowser& browser = *window_->FrameBrowser;
  TModalResult answer = mrCancel;
  int shown = 0;
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* dialog = dynamic_cast<TfrmFontColors*>(form);
    ASSERT_NE(dialog, nullptr);
    ++shown;
    EXPECT_EQ(dialog->Caption(), "Font/Colors");
    EXPECT_EQ(dialog->lbVisitedLink->Caption(), "Visited link:");
    // Filled from the browser's defaults.
    EXPECT_EQ(dialog->ccbHotSpot->ColorValue(), browser.DefHotSpotColor());
    EXPECT_EQ(dialog->seFontSize->Value(), browser.DefFontSize());
    EXPECT_EQ(dialog->Values().FontName, browser.DefFontName());
    const Sample before = Sampled(*dialog, 0xFF0000);
    EXPECT_EQ(before.colored, 0);
    // Each control changes what the sample shows.
    dialog->ccbFont->SetColorValue(clRed);
    EXPECT_EQ(dialog->FontViewer->DefFontColor, clRed);
    const Sample red = Sampled(*dialog, 0xFF0000);
    EXPECT_GT(red.colored, 20);
    dialog->seFontSize->SetValue(20);
    const Sample larger = Sampled(*dialog, 0xFF0000);
    EXPECT_GT(larger.colored, red.colored);
    dialog->fcbFontName->SetFontName("Courier New");
    EXPECT_EQ(dialog->FontViewer->DefFontName, "Courier New");
    EXPECT_NE(Sampled(*dialog, 0xFF0000).sum, larger.sum);
    dialog->ccbBackground->SetColorValue(clYellow);
    EXPECT_EQ(test_driver::PixelAt(dialog->FontViewer, 5, dialog->FontViewer->Height() - 5), 0xFFFF00u);
    // Reset: the values and the pixels of the activation.
    dialog->btReset->Click();
    EXPECT_EQ(dialog->ccbFont->ColorValue(), browser.DefFontColor());
    EXPECT_EQ(dialog->seFontSize->Value(), browser.DefFontSize());
    EXPECT_EQ(dialog->Values().FontName, browser.DefFontName());
    EXPECT_EQ(dialog->Values().Background, browser.DefBackground());
    EXPECT_EQ(Sampled(*dialog, 0xFF0000).sum, before.sum);
    dialog->ccbFont->SetColorValue(clRed);
    dialog->seFontSize->SetValue(16);
    dialog->ccbVisitedLink->SetColorValue(clGreen);
    form->ModalResult = answer;
  });
  // Cancel leaves the browser as it was, and asks for nothing.
  auto* menuItem = dynamic_cast<TMenuItem*>(window_->FindComponent("miFontColors"));
  ASSERT_NE(menuItem, nullptr);
  const TColor font = browser.DefFontColor();
  menuItem->Click();
  EXPECT_EQ(browser.DefFontColor(), font);
  EXPECT_EQ(PageRequests(), 1);
  // OK hands the values over and asks for the page again.
  answer = mrOk;
  menuItem->Click();
  Settle();
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(browser.DefFontColor(), clRed);
  EXPECT_EQ(browser.DefFontSize(), 16);
  EXPECT_EQ(browser.DefVisitedLinkColor(), clGreen);
  EXPECT_EQ(browser.ActiveViewer()->DefFontColor, clRed);
  EXPECT_EQ(PageRequests(), 2);
  // The settings file keeps them.
  test_driver::OnModalShown(nullptr);
  Close();
  Open({"/home=" + nginx_.Url("/page.html")});
  EXPECT_EQ(window_->FrameBrowser->DefFontColor(), clRed);
  EXPECT_EQ(window_->FrameBrowser->DefFontSize(), 16);
}

// The proxy the dialog names carries the next page: tinyproxy logs it.
TEST_F(OptionDialogsOverNginx, ProxyDialogSendsTheNextPageThroughTinyproxy) {
  test::TempDir proxyDir;
  chmod(proxyDir.Path().c_str(), 0777);
  const int port = test::FreePort();
  const std::string log = proxyDir.Path() + "/tinyproxy.log";
  proxyDir.Write("tinyproxy.conf", "Port " + std::to_string(port) + "\nListen 127.0.0.1\nAllow 127.0.0.1\nLogFile \"" +
                                       log + "\"\nLogLevel Info\n");
  test::PeerProcess proxy({"tinyproxy", "-d", "-c", proxyDir.Path() + "/tinyproxy.conf"}, "tinyproxy", port,
                          proxyDir.Path());
  ASSERT_TRUE(proxy.Started()) << proxy.Error();
  Open({"/home=" + nginx_.Url("/page.html")});
  EXPECT_EQ(Log(log).find("page.html"), std::string::npos);
  test_driver::OnModalShown([&](TCustomForm* form) {
    auto* dialog = dynamic_cast<TfrmProxy*>(form);
    ASSERT_NE(dialog, nullptr);
    dialog->edProxy->SetText("127.0.0.1");
    dialog->edPort->SetText(std::to_string(port));
    dialog->btOk->Click();
  });
  dynamic_cast<TMenuItem*>(window_->FindComponent("miProxy"))->Click();
  EXPECT_EQ(window_->ProxyPort, port);
  Navigate(nginx_.Url("/other.html"));
  EXPECT_EQ(ShownTitle(), "Other");
  EXPECT_NE(Log(log).find("/other.html"), std::string::npos) << Log(log);
  // The settings file keeps the proxy.
  test_driver::OnModalShown(nullptr);
  Close();
  Open({"/home=" + nginx_.Url("/page.html")});
  EXPECT_EQ(window_->ProxyHost, "127.0.0.1");
  EXPECT_EQ(window_->ProxyPort, port);
}

}  // namespace
}  // namespace lark
