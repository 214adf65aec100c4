#pragma once

#include "platform/windows/win_control.h"

namespace lark {

// A windowless control: it has no window of its own and is painted by its
// parent, below the parent's windowed children; the parent routes its mouse
// input, capture and hit tests.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  // Draws on the parent's surface at this control's place, clipped to it.
  TCanvas& Canvas();

 protected:
  void WndProc(TMessage& message) override;
  virtual void Paint() {}
};

// A windowed control that paints itself.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  // Draws on the window's retained surface, in a paint or outside one.
  TCanvas& Canvas();
  TNotifyEvent OnPaint;

 protected:
  void WndProc(TMessage& message) override;
  virtual void Paint();
};

}  // namespace lark
