#pragma once

#include "platform/windows/custom_control.h"

namespace lark {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBorderStyle { bsNone, bsSingle };

// A container with bevels and an optional caption. Its aligned children
// share the area inside the border and bevels.
class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* owner);
  TBevelCut BevelInner() const { return bevel_inner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevel_outer_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevel_width_; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return border_width_; }
  void SetBorderWidth(int value);
  // A border outside the bevels: a one-pixel line in the frame colour, or
  // with Ctl3D the desktop's sunken edge, two pixels wide. It lies inside
  // the bounds and, like the bevels, is taken from the area the aligned
  // children share.
  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle value);
  bool Ctl3D() const { return ctl3d_; }
  void SetCtl3D(bool value);
  TAlignment Alignment = TAlignment::taCenter;
  void AdjustClientRect(TRect& rect) const override;

 protected:
  void Paint() override;

 private:
  void BordersChanged();
  int BorderSize() const;
  TBevelCut bevel_inner_ = TBevelCut::bvNone;
  TBevelCut bevel_outer_ = TBevelCut::bvRaised;
  int bevel_width_ = 1;
  int border_width_ = 0;
  TBorderStyle border_style_ = TBorderStyle::bsNone;
  bool ctl3d_ = true;
};

class TPanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
};

// A frame with a caption around a group of controls.
class TGroupBox : public TCustomControl {
 public:
  explicit TGroupBox(TComponent* owner);
  void AdjustClientRect(TRect& rect) const override;

 protected:
  void Paint() override;
};

}  // namespace lark
