#include "tests/app_main/main_window_fixture.h"

#include "platform/core/file_routines.h"
#include "platform/windows/application.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/test_driver.h"
#include "viewer/frame_browser.h"

namespace lark {

bool MainWindowTest::FillProgramDir() const {
  for (const char* name : {"BROWSER.LGV", "start.html", "block.html", "error.html"})
    dir_.Write(name, test::ReadFile(ProgramDir() + name));
  return true;
}

TfrmMain& MainWindowTest::Open(std::vector<std::string> params) {
  window_ = CreateMainWindow(TProgramContext{dir_.Path() + "/", IniFile(), std::move(params)});
  window_->Show();
  Settle();
  return *window_;
}

void MainWindowTest::Settle() {
  for (int i = 0; i < 20; ++i) Application()->ProcessMessages();
}

void MainWindowTest::Close() {
  delete window_;
  window_ = nullptr;
  Settle();
}

void MainWindowTest::SetUp() {
  test_driver::AnswerMessageBoxes([this](const std::string& text, TMsgDlgType, TMsgDlgButtons) {
    boxes_.push_back(text);
    return static_cast<int>(mrOk);
  });
}

void MainWindowTest::TearDown() {
  if (window_) Close();
  test_driver::Reset();
}

std::string MainWindowTest::ShownURL() const { return window_->FrameBrowser->CurrentFile(); }
std::string MainWindowTest::ShownTitle() const { return window_->FrameBrowser->DocumentTitle(); }

void MainWindowTest::Navigate(const std::string& address) {
  window_->cbAddress->SetText(address);
  window_->cbAddress->SetFocus();
  test_driver::PressKey(VK_RETURN);
  Settle();
}

}  // namespace lark
