#pragma once

#include "platform/graphics/picture.h"
#include "platform/windows/custom_control.h"

namespace lark {

// A windowless area its owner paints in OnPaint.
class TPaintBox : public TGraphicControl {
 public:
  explicit TPaintBox(TComponent* owner);
  TNotifyEvent OnPaint;

 protected:
  void Paint() override;
};

// Shows a picture, at its size, centred or stretched.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  TPicture& Picture() { return picture_; }
  // Call after changing the picture.
  void PictureChanged();
  bool Stretch = false;
  bool Center = false;
  bool AutoSize = false;

 protected:
  void Paint() override;

 private:
  TPicture picture_;
};

// A bar filled in proportion to Position between Min and Max.
class TProgressBar : public TGraphicControl {
 public:
  explicit TProgressBar(TComponent* owner);
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetRange(int minValue, int maxValue);
  void SetPosition(int position);
  int Step = 10;
  void StepIt() { SetPosition(position_ + Step); }

 protected:
  void Paint() override;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};

}  // namespace lark
