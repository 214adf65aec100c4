#pragma once

#include <memory>
#include <string>

#include "html/form_control.h"

namespace lark {

class TAttributeList;
class TProperties;
class TSectionList;
class TWinControl;

// Sizes taken from SIZE, COLS and ROWS are held here, so that a character
// width times them fits the window system's coordinates.
constexpr int kMaxControlChars = 10000;
// Window control sides in pixels, as the window system bounds them.
constexpr int kMaxControlSide = 32767;

// The canvas measures and draws in a window control's font while this lives.
class TControlFont {
 public:
  TControlFont(TCanvas& canvas, const TWinControl& control);
  ~TControlFont() { canvas_.SetFont(old_); }
  TControlFont(const TControlFont&) = delete;
  TControlFont& operator=(const TControlFont&) = delete;

 private:
  TCanvas& canvas_;
  TFont old_;
};

// A flat picture's text inside `box` less 4 pixels each side: vertically
// centred, at the left + 4 or centred.
void DrawControlText(TCanvas& canvas, const TRect& box, const std::string& text, bool centred);

// What every INPUT, SELECT and TEXTAREA control shares: its name and value,
// the window control it owns (parked at top -400 until laid out), the style
// sizes, focus, and the form's operations on it (submission pairs, reset,
// restoring saved values).
class THtmlFormControl : public TFormControlObj {
 public:
  // `codePage`: the one the element's text and attribute values are in.
  THtmlFormControl(TSectionList& masterList, const TAttributeList& attributes, int codePage);
  ~THtmlFormControl() override;

  // The window control; null for a hidden input.
  [[nodiscard]] TWinControl* GetControl() const { return control_.get(); }
  // Style spacing (left and right margins), width, height and vertical-align.
  virtual void ProcessProperties(const TProperties& prop);
  // Back to the state the page gave.
  virtual void ResetToValue() {}
  // The index-th "name=value" pair; false when there is none.
  virtual bool GetSubmission(int index, std::string& pair) {
    (void)index;
    (void)pair;
    return false;
  }
  // Restoring saved values: SetDataInit once, then SetData for the index-th
  // saved value of the control's name.
  virtual void SetDataInit() {}
  virtual void SetData(int index, const std::string& value) {
    (void)index;
    (void)value;
  }
  // After the last SetData: what was restored goes to the window at once.
  virtual void SetDataDone() {}
  // Whether the control shows one text and always sends exactly one pair
  // (hidden, edit, text area): of several such controls of one name, each
  // takes back its own saved value rather than the name's last.
  [[nodiscard]] virtual bool HoldsOneText() const { return false; }
  // Whether SubmitTheForm sends the pairs of a control without NAME.
  [[nodiscard]] virtual bool SubmitsWithoutName() const { return false; }

  void SetHeightWidth(TCanvas& canvas) override { (void)canvas; }
  [[nodiscard]] int Width() const override;
  [[nodiscard]] int Height() const override;
  void PlaceControl(int x, int y) override;
  void Draw(TCanvas& canvas, int x1, int y1) override {
    (void)canvas;
    (void)x1;
    (void)y1;
  }
  void HideWindow(bool keepReachable) override;
  [[nodiscard]] bool HasFocus() const override;
  std::int32_t GetYPosition() override { return YValue; }

  TSectionList* MasterList;
  std::string FName;
  std::string Value;  // bytes in CodePage, as submitted
  int CodePage;
  std::string OnClickMessage;
  bool Active = false;
  int StyleWidth = 0, StyleHeight = 0;  // 0: not given

 protected:
  // Takes the window control: parked, on the paint panel, with the focus
  // and click events wired.
  void SetControl(std::unique_ptr<TWinControl> control);
  // Focus events of `window` (the control or a window inside it).
  void WireFocus(TWinControl& window);
  // The form's key handling, for controls that route keys to it.
  void WireKeyPress(TWinControl& window);
  void WireKeyDown(TWinControl& window);
  // Widgets are Unicode (UTF-8) while names and values stay bytes of the
  // element's code page: text goes in decoded and comes back encoded.
  [[nodiscard]] std::string ToWidget(const std::string& bytes) const;
  [[nodiscard]] std::string FromWidget(const std::string& text) const;
  // The document's object-click notification.
  void ObjectClick();
  // A style size counts from 10 pixels on.
  [[nodiscard]] static bool StyleSize(int size) { return size >= 10; }
  [[nodiscard]] static int ClampSide(std::int64_t size);

 private:
  void Entered();
  void Exited();

  std::unique_ptr<TWinControl> control_;
};

}  // namespace lark
