#include "app/test_control.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "images/png_image.h"
#include "platform/core/private_temp_dir.h"
#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/test_driver.h"
#include "tests/app_e2e/probe/probe_form.h"
#include "tests/support/test_control_client.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

using test::ControlReply;
using test::TestControlClient;
using Items = std::vector<std::string>;

// The probe window with the control listening; the test's side runs on a
// thread of its own while this thread runs the message loop, as the
// program's GUI thread would.
class TestControlInProcess : public testing::Test {
 protected:
  void SetUp() override {
    form = MakeProbeForm(nullptr);
    form->Show();
    control = StartTestControl("control-test-" + std::to_string(::getpid()));
    ASSERT_NE(control, nullptr);
  }
  void TearDown() override {
    control.reset();
    delete form;
    test_driver::Reset();
  }

  void Drive(const std::function<void(TestControlClient&)>& script) {
    std::atomic<bool> done{false};
    std::thread side([&] {
      TestControlClient client;
      if (client.Connect(control->SocketPath(), 5000)) script(client);
      else ADD_FAILURE() << client.Error();
      done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < deadline) {
      Application()->ProcessMessages();
      WaitMessageTimeout(10);
    }
    side.join();
  }

  TForm* form = nullptr;
  std::unique_ptr<TTestControl> control;
};

// Reads and queued input in one conversation; the reads after "idle" see
// what the input did.
TEST_F(TestControlInProcess, ReadsTheWindowAndDrivesItLikeAUser) {
  form->SetCaption("Tab\there \\ too");
  static_cast<TControl*>(form->FindComponent("btnDialog"))->Hide();
  Drive([](TestControlClient& c) {
    EXPECT_EQ(c.Command("caption").Text(), "Tab\there \\ too");
    EXPECT_EQ(c.Command("status").Items(), (Items{"ready", ""}));
    EXPECT_EQ(c.Command("menu").Items(), (Items{"&File"}));
    EXPECT_EQ(c.Command("menu File").Items(), (Items{"&Hello", "E&xit"}));
    EXPECT_EQ(c.Command("pixel pnColour 5 5").raw, "ff0000");
    EXPECT_EQ(c.Command("shown").Text(), "Probe page\r\n");
    EXPECT_EQ(c.Command("showing btnAsk").raw, "yes");
    EXPECT_EQ(c.Command("showing btnDialog").raw, "no");

    EXPECT_TRUE(c.Command("click edAddress").ok);
    EXPECT_TRUE(c.Command("type héllo world").ok);
    EXPECT_TRUE(c.Command("key End").ok);
    EXPECT_TRUE(c.Command("key Backspace").ok);
    EXPECT_TRUE(c.Command("choose File/Hello").ok);
    EXPECT_TRUE(c.Command("idle").ok);
    EXPECT_EQ(c.Command("text edAddress").Text(), "héllo worl");
    EXPECT_EQ(c.Command("status").Items(), (Items{"hello", ""}));
  });
}

// Answers are given before the click that opens the box or dialog; the
// modal form's button is clicked while its loop runs, by a later command.
TEST_F(TestControlInProcess, AnswersBoxesAndDialogsAndReachesModalForms) {
  Drive([](TestControlClient& c) {
    EXPECT_TRUE(c.Command("answer box no").ok);
    EXPECT_TRUE(c.Command("click btnAsk").ok);
    EXPECT_TRUE(c.Command("idle").ok);
    EXPECT_EQ(c.Command("status").Items(), (Items{"ready", "7"}));
    EXPECT_EQ(c.Command("last-box").Items()[1], "Go on?");

    EXPECT_TRUE(c.Command("click btnDialog").ok);
    EXPECT_TRUE(c.Command("idle").ok);
    EXPECT_TRUE(c.Command("click btnOk").ok);
    EXPECT_TRUE(c.Command("idle").ok);
    EXPECT_EQ(c.Command("status").Items(), (Items{"ready", "modal 1"}));

    EXPECT_TRUE(c.Command("answer dialog ok /tmp/a  b.html").ok);
    EXPECT_TRUE(c.Command("click btnSave").ok);
    EXPECT_TRUE(c.Command("idle").ok);
    EXPECT_EQ(c.Command("status").Items(), (Items{"ready", "saved /tmp/a  b.html"}));

    EXPECT_TRUE(c.Command("answer form cancel").ok);
    EXPECT_TRUE(c.Command("click btnDialog").ok);
    EXPECT_TRUE(c.Command("idle").ok);
    EXPECT_EQ(c.Command("status").Items(), (Items{"ready", "modal 2"}));
  });
}

// A window's picture is saved as a PNG file that decodes to what it shows;
// a file that cannot be made is an error.
TEST_F(TestControlInProcess, SavesWhatAWindowShowsAsPng) {
  test::TempDir dir;
  const std::string file = dir.File("red panel.png");
  Drive([&](TestControlClient& c) {
    EXPECT_TRUE(c.Command("screenshot pnColour " + file).ok);
    EXPECT_FALSE(c.Command("screenshot pnColour " + dir.File("none/x.png")).ok);
    EXPECT_FALSE(c.Command("screenshot pnColour").ok);
  });
  TPNGImage picture;
  picture.LoadFromString(test::ReadFile(file));
  const PixelImage& bitmap = picture.Bitmap();
  ASSERT_EQ(bitmap.Width(), 40);
  std::vector<std::uint8_t> row(3 * 40);
  bitmap.ReadRow24(20, row.data());
  EXPECT_EQ((std::vector<int>{row[60], row[61], row[62]}), (std::vector<int>{0, 0, 255})) << "blue, green, red";
}

// Bad lines get an error and the conversation goes on.
TEST_F(TestControlInProcess, RefusesBadLinesAndKeepsServing) {
  Drive([](TestControlClient& c) {
    for (const char* line : {"", "launch", "click", "click nothing", "click edAddress 1", "key hyper+Q", "pixel pnColour -1 0",
                             "pixel pnColour 99999 0", "idle x", "answer box maybe", "choose File/Nothing", "text"})
      EXPECT_FALSE(c.Command(line).ok) << line;
    EXPECT_TRUE(c.SendRaw(std::string(100000, 'x') + "\n"));
    EXPECT_EQ(c.ReadReply(5000).raw, "line longer than 4096 bytes");
    EXPECT_TRUE(c.SendRaw(std::string("caption\0\xff\r\n", 11)));
    EXPECT_FALSE(c.ReadReply(5000).ok);
    EXPECT_EQ(c.Command("ping").raw, "pong");
  });
}

// A new window is a new process with the same environment: it listens
// beside the instance that opened it; a dead socket's name is taken over.
TEST_F(TestControlInProcess, ASecondInstanceListensBesideTheFirst) {
  auto second = StartTestControl(control->SocketPath());
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->SocketPath(), control->SocketPath() + "-" + std::to_string(::getpid()));
  const std::string firstPath = control->SocketPath();
  control.reset();
  // What a killed program leaves: the socket file, with no one listening.
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  firstPath.copy(address.sun_path, sizeof address.sun_path - 1);
  const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ::close(stale);
  control = StartTestControl(firstPath);
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(control->SocketPath(), firstPath);
  Drive([&](TestControlClient& c) {
    TestControlClient other;
    ASSERT_TRUE(other.Connect(second->SocketPath(), 5000));
    EXPECT_EQ(other.Command("ping").raw, "pong");
    EXPECT_EQ(c.Command("ping").raw, "pong");
  });
}

TEST_F(TestControlInProcess, SocketIsTheOwnersAloneAndInThePrivateFolder) {
  struct stat info {};
  ASSERT_EQ(::stat(control->SocketPath().c_str(), &info), 0);
  EXPECT_TRUE(S_ISSOCK(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(control->SocketPath().rfind(PrivateTempDirectory(), 0), 0u);
  EXPECT_EQ(StartTestControl("/tmp/control-elsewhere"), nullptr);
  EXPECT_EQ(StartTestControl(PrivateTempDirectory() + "../escape"), nullptr);
  // Only a socket left by an earlier run is replaced.
  const std::string file = PrivateTempDirectory() + "plain-" + std::to_string(::getpid());
  test::WriteFile(file, "kept");
  EXPECT_EQ(StartTestControl(file), nullptr);
  EXPECT_EQ(test::ReadFile(file), "kept");
  ::unlink(file.c_str());
  const std::string path = control->SocketPath();
  control.reset();
  EXPECT_NE(::access(path.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace lark
