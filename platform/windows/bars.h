#pragma once

#include <string>
#include <vector>

#include "platform/windows/custom_control.h"

namespace lark {

struct TStatusPanel {
  std::string Text;
  int Width = 50;
  TAlignment Alignment = TAlignment::taLeftJustify;
};

// The status line at the bottom of a window: panels of text, or one simple
// text; it also holds controls placed on it.
class TStatusBar : public TCustomControl {
 public:
  explicit TStatusBar(TComponent* owner);
  std::vector<TStatusPanel>& Panels() { return panels_; }
  void PanelsChanged() { Invalidate(); }
  bool SimplePanel = false;
  const std::string& SimpleText() const { return simple_text_; }
  void SetSimpleText(const std::string& text);
  // The rectangle of panel `index`; the last panel takes what remains.
  TRect PanelRect(int index) const;

 protected:
  void Paint() override;

 private:
  std::vector<TStatusPanel> panels_;
  std::string simple_text_;
};

// A row of buttons and other controls, laid out left to right in their order.
class TToolBar : public TCustomControl {
 public:
  explicit TToolBar(TComponent* owner);
  int ButtonWidth = 23;
  int ButtonHeight = 22;
  bool Flat = true;
  bool Wrapable = true;
  void AlignControls(TControl* control, TRect& rect) override;
};

// Bands that stack top to bottom, each showing one child control across the
// whole width; a hidden child takes no band.
class TCoolBar : public TCustomControl {
 public:
  explicit TCoolBar(TComponent* owner);
  bool AutoSize = true;
  int BandBorder = 2;
  void AlignControls(TControl* control, TRect& rect) override;
};

}  // namespace lark
