#pragma once

#include <string>

#include "platform/windows/button_glyph.h"
#include "platform/windows/native_control.h"

namespace lark {

// A push button. Clicking it sets its form's ModalResult (when it has one),
// then runs OnClick. Enter clicks the focused button, or the Default button
// when no button has the focus; Escape clicks the Cancel button; its "&"
// accelerator clicks it. It shows pushed in while the left mouse button
// holds it with the pointer on it, or while the space bar holds it.
class TButton : public TNativeControl {
 public:
  explicit TButton(TComponent* owner);
  bool Default() const { return default_; }
  void SetDefault(bool value);
  bool Cancel = false;
  TModalResult ModalResult = mrNone;
  void Click() override;

 protected:
  void WndProc(TMessage& message) override;
  void CreateNativeWidget() override;
  void PushState() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // The button Enter clicks right now.
  bool IsActive() const;
  bool Pushed() const { return (mouse_held_ && pointer_inside_) || space_held_; }

 private:
  // Brings the widget's pushed look in line with Pushed().
  void ShowPushed();
  bool default_ = false;
  bool mouse_held_ = false;
  bool pointer_inside_ = false;
  bool space_held_ = false;
};

enum class TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

// A push button with a glyph; its Kind gives caption, modal result and the
// Default/Cancel role of the standard buttons. The toolkit's button draws
// the frame for the button's state; the layer paints glyph and caption on
// it where Layout, Margin and Spacing put them, and the focus rectangle.
class TBitBtn : public TButton, public TButtonGlyph {
 public:
  explicit TBitBtn(TComponent* owner);
  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind kind);

 protected:
  void CreateNativeWidget() override;

 private:
  void PaintFace(TCanvas& canvas);
  TBitBtnKind kind_ = TBitBtnKind::bkCustom;
};

// True when `key` is the "&" accelerator of `caption` (letters compare
// without regard to case).
bool IsAccel(unsigned key, const std::string& caption);

}  // namespace lark
