#pragma once

#include <functional>

#include "platform/windows/win_control.h"

namespace lark {

// A control whose window is one of the toolkit's own widgets (an edit box, a
// check box). Input still goes through the layer's queue first; what the
// control's WindowProc leaves to its default handler is then handed to the
// widget, which behaves as the native control would. Properties live in the
// control and are pushed into a new widget whenever one is made.
class TNativeControl : public TWinControl {
 public:
  explicit TNativeControl(TComponent* owner);

 protected:
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  // Editing widgets also get the mouse (caret, selection); buttons keep
  // clicks to the layer.
  virtual bool ReplaysMouse() const { return false; }
  void CreateWnd() override;
  // Makes the widget (each control's .cpp), then pushes the properties in.
  virtual void CreateNativeWidget() = 0;
  virtual void PushState() {}
  // Takes what the user changed in the widget back before it goes.
  virtual void PullState() {}
  // What button-like controls share: their "&" accelerator and the space bar
  // click them (the accelerator focusing them first when asked), and a new
  // caption reaches the widget. True when the message was handled.
  bool HandleButtonKeys(TMessage& message, bool focusOnAccelerator);
  // Framed scrolling controls (memos, lists): the area inside the two-pixel
  // sunken frame, less the control's own bars beside and below it.
  TRect FramedClientRect(bool verticalBar, bool horizontalBar) const;
  // Runs `change`, which may show or hide those bars, and tells the window
  // its new client size when it changed.
  void ChangeClientArea(const std::function<void()>& change);
  void DestroyWnd() override;
};

}  // namespace lark
