#include <chrono>
#include <functional>

#include "platform/graphics/resources.h"
#include "platform/windows/animate.h"
#include "platform/windows/bars.h"
#include "platform/windows/form_reader.h"
#include "tests/platform_windows/avi_samples.h"
#include "tests/platform_windows/window_fixture.h"

namespace lark {
namespace {

using namespace avi_samples;

constexpr std::uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kLime = 0x00FF00;

// Three 40x30 frames on red: a blue square top left, a blue square top
// right, a blue square bottom left.
const std::vector<std::string>& Squares() {
  static const std::vector<std::string> drawings = {"-fill blue -draw 'rectangle 2,2 9,9'",
                                                    "-fill blue -draw 'rectangle 28,2 35,9'",
                                                    "-fill blue -draw 'rectangle 2,18 9,25'"};
  return drawings;
}

class Animate : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (!HaveTool("ffmpeg") || !HaveTool("convert")) GTEST_SKIP() << "ffmpeg and ImageMagick make the test clips";
    clip_ = DrawnClip(dir_, 40, 30, Squares(), 10);
    form_ = std::make_unique<TForm>(nullptr);
    form_->SetClientSize(200, 150);
    form_->SetColor(clLime);
    animate_ = new TAnimate(form_.get());
    animate_->SetParent(form_.get());
    animate_->OnOpen = [this](TObject*) { events_ += "open "; };
    animate_->OnClose = [this](TObject*) { events_ += "close "; };
    animate_->OnStart = [this](TObject*) { events_ += "start "; };
    animate_->OnStop = [this](TObject*) { events_ += "stop "; };
    form_->Show();
  }

  // Runs the message loop until `done` holds or two seconds have passed.
  static bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      Application()->ProcessMessages();
    }
    return true;
  }

  // Which of the three squares the control shows, 0 for none; frames at
  // the control's top left.
  int ShownSquare() {
    if (test_driver::PixelAt(animate_, 5, 5) == kBlue) return 1;
    if (test_driver::PixelAt(animate_, 31, 5) == kBlue) return 2;
    if (test_driver::PixelAt(animate_, 5, 21) == kBlue) return 3;
    return 0;
  }

  static std::string OpenError(const std::function<void()>& open) {
    try {
      open();
    } catch (const EInvalidOperation& error) {
      return error.Message;
    }
    return "";
  }

  TempDir dir_;
  std::string clip_;
  std::unique_ptr<TForm> form_;
  TAnimate* animate_ = nullptr;
  std::string events_;
};

TEST_F(Animate, OpeningAFileShowsTheFirstFrameAtTheFramesSize) {
  animate_->SetTransparent(false);
  animate_->SetFileName(clip_);
  EXPECT_TRUE(animate_->Open());
  EXPECT_EQ(animate_->FrameCount(), 3);
  EXPECT_EQ(animate_->FrameWidth(), 40);
  EXPECT_EQ(animate_->FrameHeight(), 30);
  EXPECT_EQ(animate_->Width(), 40);  // AutoSize
  EXPECT_EQ(animate_->Height(), 30);
  EXPECT_EQ(animate_->StartFrame(), 1);
  EXPECT_EQ(animate_->StopFrame(), 3);
  EXPECT_EQ(ShownSquare(), 1);
  EXPECT_EQ(test_driver::PixelAt(animate_, 20, 20), kRed);
  EXPECT_EQ(events_, "open ");
}

TEST_F(Animate, ActiveAdvancesAFramePerTickUntilStopped) {
  animate_->SetFileName(clip_);
  animate_->SetActive(true);
  EXPECT_TRUE(animate_->Active());
  EXPECT_EQ(events_, "open start ");
  EXPECT_EQ(ShownSquare(), 1);
  EXPECT_TRUE(WaitFor([&] { return ShownSquare() == 2; }));
  EXPECT_TRUE(WaitFor([&] { return ShownSquare() == 3; }));
  EXPECT_TRUE(WaitFor([&] { return ShownSquare() == 1; }));  // Repetitions 0: round and round
  animate_->SetActive(false);
  EXPECT_FALSE(animate_->Active());
  EXPECT_EQ(events_, "open start stop ");
  const int stoppedAt = ShownSquare();
  const auto later = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  while (std::chrono::steady_clock::now() < later) Application()->ProcessMessages();
  EXPECT_EQ(ShownSquare(), stoppedAt);
}

TEST_F(Animate, PlayStopsByItselfAfterItsRepetitionsOnTheLastFrame) {
  animate_->SetFileName(clip_);
  animate_->Play(2, 3, 2);
  EXPECT_EQ(animate_->StartFrame(), 2);
  EXPECT_EQ(animate_->StopFrame(), 3);
  EXPECT_EQ(animate_->Repetitions(), 2);
  // What shows just before each timer tick is handled, however late the
  // loop gets to it.
  std::vector<int> seen;
  Application()->OnMessage = [&](TMsg& message, bool&) {
    if (message.message != WM_TIMER) return;
    const int square = ShownSquare();
    if (seen.empty() || seen.back() != square) seen.push_back(square);
  };
  ASSERT_TRUE(WaitFor([&] { return !animate_->Active(); }));
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 2, 3}));
  EXPECT_EQ(ShownSquare(), 3);
  EXPECT_EQ(events_, "open start stop ");
}

TEST_F(Animate, SeekAndResetShowOneFrameAndStop) {
  animate_->SetFileName(clip_);
  animate_->SetActive(true);
  animate_->Seek(3);
  EXPECT_FALSE(animate_->Active());
  EXPECT_EQ(ShownSquare(), 3);
  animate_->SetStartFrame(2);
  animate_->SetStopFrame(2);
  animate_->Reset();
  EXPECT_EQ(animate_->StartFrame(), 1);
  EXPECT_EQ(animate_->StopFrame(), 3);
  EXPECT_EQ(ShownSquare(), 1);
  EXPECT_THROW(animate_->Seek(0), EInvalidOperation);
  EXPECT_THROW(animate_->Seek(4), EInvalidOperation);
  EXPECT_THROW(animate_->Play(3, 2, 1), EInvalidOperation);
  EXPECT_THROW(animate_->Play(1, 3, -1), EInvalidOperation);
  EXPECT_EQ(events_, "open start stop ");
}

TEST_F(Animate, TransparentShowsTheParentsColourForTheFirstFramesCornerColour) {
  animate_->SetFileName(clip_);  // Transparent by default: red is the key
  EXPECT_EQ(test_driver::PixelAt(animate_, 20, 20), kLime);
  EXPECT_EQ(test_driver::PixelAt(animate_, 5, 5), kBlue);
  form_->SetColor(clYellow);
  EXPECT_EQ(test_driver::PixelAt(animate_, 20, 20), 0xFFFF00u);
  animate_->SetTransparent(false);
  EXPECT_EQ(test_driver::PixelAt(animate_, 20, 20), kRed);
}

TEST_F(Animate, CenterPlacesTheFrameInTheMiddleOfALargerControl) {
  animate_->SetAutoSize(false);
  animate_->SetTransparent(false);
  animate_->SetBounds(0, 0, 100, 80);
  animate_->SetFileName(clip_);
  EXPECT_EQ(animate_->Width(), 100);
  // Frame at (30, 25): its blue square spans 32..39 x 27..34.
  EXPECT_EQ(test_driver::PixelAt(animate_, 35, 30), kBlue);
  EXPECT_EQ(test_driver::PixelAt(animate_, 31, 26), kRed);
  EXPECT_EQ(test_driver::PixelAt(animate_, 5, 5), kLime);  // the control's own colour around it
  animate_->SetCenter(false);
  EXPECT_EQ(ShownSquare(), 1);
  EXPECT_EQ(test_driver::PixelAt(animate_, 50, 50), kLime);
}

TEST_F(Animate, RunLengthClipsPlayToo) {
  animate_->SetTransparent(false);
  animate_->SetFileName(RunLengthClip(dir_, 40, 30, Squares(), 20));
  animate_->SetActive(true);
  EXPECT_EQ(ShownSquare(), 1);
  EXPECT_TRUE(WaitFor([&] { return ShownSquare() == 3; }));
}

TEST_F(Animate, AnUnreadableClipRaisesAndLeavesTheControlEmpty) {
  animate_->SetTransparent(false);
  animate_->SetFileName(clip_);
  EXPECT_EQ(ShownSquare(), 1);
  WriteFile(dir_.File("broken.avi"), ReadFile(clip_).substr(0, 3000));
  EXPECT_EQ(OpenError([&] { animate_->SetFileName(dir_.File("broken.avi")); }), "Cannot open AVI: AVI file is truncated");
  EXPECT_FALSE(animate_->Open());
  EXPECT_EQ(animate_->FrameCount(), 0);
  EXPECT_EQ(ShownSquare(), 0);
  EXPECT_EQ(test_driver::PixelAt(animate_, 20, 20), kLime);
  EXPECT_EQ(events_, "open close ");
  EXPECT_NE(OpenError([&] { animate_->SetFileName(dir_.File("missing.avi")); }).find("missing.avi"),
            std::string::npos);
  EXPECT_NE(OpenError([&] { animate_->SetFileName(dir_.File("")); }).find("Cannot open AVI: "), std::string::npos);
  // Playing needs a clip: it tries to open the one named, and says so.
  EXPECT_NE(OpenError([&] { animate_->SetActive(true); }).find("Cannot open AVI: "), std::string::npos);
  EXPECT_FALSE(animate_->Active());
}

TEST_F(Animate, ClipsCompiledIntoTheProgramOpenByNameOrNumber) {
  static const std::string bytes = ReadFile(clip_);
  RegisterResource("TestSquares", bytes);
  RegisterResource("4711", bytes);
  animate_->SetResName("TESTSQUARES");
  EXPECT_TRUE(animate_->Open());
  EXPECT_EQ(animate_->FrameCount(), 3);
  animate_->SetResId(4711);
  EXPECT_TRUE(animate_->Open());
  EXPECT_EQ(animate_->ResName(), "");
  EXPECT_EQ(events_, "open close open ");
  EXPECT_EQ(OpenError([&] { animate_->SetResName("AviMissing"); }), "Cannot open AVI: resource AviMissing not found");
  EXPECT_FALSE(animate_->Open());
  animate_->SetOpen(false);
  EXPECT_EQ(events_, "open close open close ");
}

class AnimationForm : public TForm {
 public:
  explicit AnimationForm(std::string_view resource) : TForm(nullptr) { ReadFormResource(this, resource, "frmAnimation.lfm"); }
};

TEST_F(Animate, AFormResourceOpensAndStartsItsAnimationOnceLoaded) {
  // Active comes before FileName, as a resource may have it.
  const std::string resource = "object frmAnimation: TForm\n"
                               "  object CoolBar: TCoolBar\n"
                               "    Align = alTop\n"
                               "    object tbButtons: TToolBar\n"
                               "    end\n"
                               "    object Busy: TAnimate\n"
                               "      Active = True\n"
                               "      CommonAVI = aviNone\n"
                               "      StopFrame = 2\n"
                               "      Repetitions = 5\n"
                               "      Center = False\n"
                               "      FileName = '" + clip_ + "'\n"
                               "    end\n"
                               "  end\n"
                               "end\n";
  AnimationForm form(resource);
  auto* busy = dynamic_cast<TAnimate*>(form.FindComponent("Busy"));
  ASSERT_NE(busy, nullptr);
  EXPECT_TRUE(busy->Open());
  EXPECT_TRUE(busy->Active());
  EXPECT_FALSE(busy->Center());
  EXPECT_EQ(busy->StartFrame(), 1);
  EXPECT_EQ(busy->StopFrame(), 2);
  EXPECT_EQ(busy->Repetitions(), 5);
  busy->SetActive(false);
}

}  // namespace
}  // namespace lark
