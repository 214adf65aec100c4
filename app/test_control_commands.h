#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows/control_types.h"

namespace lark {

class TTimer;
class TCustomForm;

// The test control's commands, run on the GUI thread one line at a time.
// Reads answer at once. Input (typing, keys, clicks, menu choices, closing)
// is queued and played from a timer of the message loop, so that a command
// that opens a modal box returns its reply before the box's loop starts and
// later commands (reads, answers) reach the box; "idle" waits for the queue.
class TTestControlCommands {
 public:
  TTestControlCommands();
  ~TTestControlCommands();
  TTestControlCommands(const TTestControlCommands&) = delete;
  TTestControlCommands& operator=(const TTestControlCommands&) = delete;

  // One command line in, one reply line out (without its line end).
  std::string Execute(const std::string& line);
  // No queued input left, and no message waiting in the layer's queue.
  [[nodiscard]] bool Quiet();

 private:
  using Words = std::vector<std::string>;
  std::string Queue(std::function<void()> action);
  void PlayNext();

  std::string TypeText(const std::string& text);
  std::string Key(const Words& words);
  std::string Click(const Words& words);
  std::string ClickAt(const Words& words);
  std::string ChooseMenu(const std::string& path);
  std::string Close();
  std::string Answer(const std::string& rest, const Words& words);
  std::string Caption();
  std::string ControlText(const Words& words);
  std::string ControlShowing(const Words& words);
  std::string StatusTexts();
  std::string MenuCaptions(const std::string& path);
  std::string ShownText(const Words& words);
  std::string Pixel(const Words& words);
  std::string Screenshot(const std::string& rest, const Words& words);
  std::string LastBox();

  int TakeBoxAnswer(const std::string& text);
  bool TakeDialogAnswer(class TCommonDialog* dialog);
  void TakeFormAnswer(TCustomForm* form);

  struct DialogAnswer {
    bool confirm = false;
    std::string fileName;
  };
  std::unique_ptr<TTimer> player_;
  std::deque<std::function<void()>> input_;
  std::deque<TModalResult> boxAnswers_;
  std::deque<DialogAnswer> dialogAnswers_;
  std::deque<TModalResult> formAnswers_;
  std::string lastBoxText_;
};

// Reply texts travel on one line: a backslash, line feed, carriage return
// or tab is written as a backslash followed by itself, "n", "r" or "t"; a
// list is its escaped items joined by tab characters.
[[nodiscard]] std::string EscapeReplyText(const std::string& text);

}  // namespace lark
