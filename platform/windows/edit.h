#pragma once

#include <memory>
#include <string>

#include "platform/core/string_list.h"
#include "platform/windows/native_control.h"

namespace lark {

// A one-line edit box.
class TEdit : public TNativeControl {
 public:
  explicit TEdit(TComponent* owner);
  std::string GetText() const override;
  void SetText(const std::string& text) override;
  // A character shown in place of each typed one (0: the text itself).
  char PasswordChar() const { return password_char_; }
  void SetPasswordChar(char ch);
  // Longest text the user can type, in characters (0: no limit).
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int length);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value);
  void SelectAll();
  int SelStart() const;
  int SelLength() const;
  TNotifyEvent OnChange;

 protected:
  void WndProc(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  void PullState() override;
  bool ReplaysMouse() const override { return true; }

 private:
  void ShowOptions();
  std::string text_;
  char password_char_ = 0;
  int max_length_ = 0;
  bool read_only_ = false;
};

class TMemoLines;

// A multi-line edit box. With WordWrap its Lines are the lines as displayed:
// a long paragraph counts as every line it wraps onto.
class TMemo : public TNativeControl {
 public:
  explicit TMemo(TComponent* owner);
  ~TMemo() override;
  std::string GetText() const override;
  void SetText(const std::string& text) override;
  TStrings& Lines();
  // Every line as shown (wrapped lines apart), read in one pass; Lines()
  // reads them all again for each line it is asked for.
  [[nodiscard]] std::vector<std::string> ShownLines() const;
  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool value);
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value);
  bool WantReturns = true;
  bool WantTabs = false;
  // Scroll bars beside the text, shown whether or not there is anything to
  // scroll, as the desktop's memo shows them.
  TScrollStyle ScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TScrollStyle value);
  // The area inside the sunken frame (two pixels) and the scroll bars.
  TRect ClientRect() const override;
  // The caret and selection, in bytes of Text (a line break counts two).
  int SelStart() const;
  void SetSelStart(int start);
  int SelLength() const;
  void SetSelLength(int length);
  TNotifyEvent OnChange;

 protected:
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  void PullState() override;
  bool ReplaysMouse() const override { return true; }

 private:
  friend class TMemoLines;
  void ShowOptions();
  // Between byte offsets of Text and the widget's character positions.
  int PositionOf(int offset) const;
  int OffsetOf(int position) const;
  std::string text_;
  bool word_wrap_ = true;
  bool read_only_ = false;
  TScrollStyle scroll_bars_ = TScrollStyle::ssNone;
  std::unique_ptr<TMemoLines> lines_;
};

}  // namespace lark
