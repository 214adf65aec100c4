#include "platform/windows/label.h"

#include "platform/graphics/gdi.h"
#include "platform/windows/button.h"
#include "platform/windows/menus.h"

namespace lark {

std::string LabelText(const std::string& caption) { return StripHotkey(caption); }

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  ControlStyle |= csReplicatable;
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

void TLabel::SetAutoSize(bool value) {
  auto_size_ = value;
  AdjustBounds();
}

void TLabel::SetText(const std::string& text) {
  TGraphicControl::SetText(text);
  AdjustBounds();
}

unsigned TLabel::DrawFlags() const {
  unsigned flags = WordWrap ? DT_WORDBREAK : 0;
  if (Alignment == TAlignment::taCenter) flags |= DT_CENTER;
  if (Alignment == TAlignment::taRightJustify) flags |= DT_RIGHT;
  return flags | DT_NOPREFIX;
}

void TLabel::AdjustBounds() {
  if (!auto_size_ || HasState(csLoading) || !Parent()) return;
  TRect r = Rect(0, 0, WordWrap ? Width() : 0x7FFF, 0);
  DrawText(Canvas(), ShowAccelChar ? LabelText(Caption()) : Caption(), r, DrawFlags() | DT_CALCRECT);
  SetBounds(Left(), Top(), r.Width(), r.Height());
}

void TLabel::Paint() {
  TCanvas& canvas = Canvas();
  TRect r = ClientRect();
  if (!Transparent) {
    canvas.Brush().Color = Color();
    canvas.Brush().Style = bsSolid;
    canvas.FillRect(r);
  }
  canvas.Brush().Style = bsClear;
  canvas.SetFont(Font());
  if (!Enabled()) canvas.Font().SetColor(clGrayText);
  DrawText(canvas, ShowAccelChar ? LabelText(Caption()) : Caption(), r, DrawFlags());
}

void TLabel::WndProc(TMessage& message) {
  if (message.Msg == CM_DIALOGCHAR) {
    if (focus_control_ && ShowAccelChar && Enabled() &&
        IsAccel(static_cast<unsigned>(message.WParam), Caption()) && focus_control_->CanFocus()) {
      focus_control_->SetFocus();
      message.Result = 1;
    }
    return;
  }
  TGraphicControl::WndProc(message);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == focus_control_) focus_control_ = nullptr;
}

void TLabel::SetFocusControl(TWinControl* control) {
  if (focus_control_) RemoveFreeNotification(focus_control_);
  focus_control_ = control;
  if (control) FreeNotification(control);
}

}  // namespace lark
