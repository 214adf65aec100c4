#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/windows/application.h"
#include "platform/windows/form.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/test_driver.h"
#include "platform/core/exception.h"
#include "platform/graphics/canvas.h"
#include "platform/graphics/gdi.h"

namespace lark {

// A form that records the private messages it gets and lets a test answer them.
class RecordingForm : public TForm {
 public:
  using TForm::TForm;
  std::vector<UINT> received;
  std::map<UINT, std::function<void(TMessage&)>> answers;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg >= WM_USER && message.Msg < WM_USER + 0x1000) {
      received.push_back(message.Msg);
      auto it = answers.find(message.Msg);
      if (it != answers.end()) it->second(message);
      return;
    }
    auto it = answers.find(message.Msg);
    if (it != answers.end()) {
      it->second(message);
      return;
    }
    TForm::WndProc(message);
  }
};

// Every test starts with an empty queue and no hooks left by another.
class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    Application();
    hintPauses_ = {Application()->HintPause, Application()->HintShortPause, Application()->HintHidePause};
    Drain();
  }
  void TearDown() override {
    Application()->CancelHint();
    Application()->HintPause = hintPauses_[0];
    Application()->HintShortPause = hintPauses_[1];
    Application()->HintHidePause = hintPauses_[2];
    test_driver::Reset();
    Application()->OnMessage = nullptr;
    Application()->OnIdle = nullptr;
    Application()->OnHint = nullptr;
    Application()->OnException = nullptr;
    Drain();
  }
  static void Drain() { Application()->ProcessMessages(); }

 private:
  std::vector<int> hintPauses_;
};

// A test whose controls go on a 300 x 200 form.
class FormTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetClientSize(300, 200);
  }
  std::unique_ptr<TForm> form;
};

// A Letter sheet at 300 dpi with a quarter inch it cannot print on all round,
// for tests that put a test printer in place.
inline TDeviceCaps LetterPrinterCaps() {
  TDeviceCaps caps;
  caps.Technology = DT_RASPRINTER;
  caps.LogPixelsX = caps.LogPixelsY = 300;
  caps.PhysicalWidth = 2550;
  caps.PhysicalHeight = 3300;
  caps.PhysicalOffsetX = caps.PhysicalOffsetY = 75;
  caps.HorzRes = 2400;
  caps.VertRes = 3150;
  return caps;
}

}  // namespace lark
