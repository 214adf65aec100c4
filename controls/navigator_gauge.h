#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/core/thread.h"
#include "platform/graphics/color.h"
#include "platform/windows/custom_control.h"

namespace lark {

class TBitmap;
class TVVNavigatorGauge;

// The gauge's worker: slides a gradient block back and forth across the
// gauge, one pixel per step, each drawing step run on the GUI thread
// (Synchronize, aimed at the gauge, so steps for a freed gauge are dropped).
// It frees itself when it ends. The gauge writes the settings below from the
// GUI thread; the worker reads them between steps under a lock, and only the
// synchronized steps touch the gauge or the bitmaps.
class TVVNavigatorGaugeThread : public TThread {
 public:
  explicit TVVNavigatorGaugeThread(TVVNavigatorGauge* gauge);

  struct Settings {
    TColor foreColor = clBtnShadow;
    TColor backColor = clBtnFace;
    int delay = 20;
    double fillRatio = 0.5;
    int gradientColorCount = 64;
    TRect area;  // Left, Top, Right, Bottom in the gauge's client coordinates
  };
  // Each marks the pictures changed when the value differs, which ends the
  // current pass at once and wakes the worker's sleep.
  void SetPictures(TColor foreColor, TColor backColor, double fillRatio, int gradientColorCount);
  void SetArea(const TRect& area);
  void SetDelay(int delay);
  // Ends the worker for good: wakes its sleep and terminates it. The thread
  // frees itself; the caller must not touch it afterwards.
  void Stop();

 protected:
  void Execute() override;

 private:
  // The settings for the next step, and whether the pictures must be rebuilt.
  Settings Snapshot(bool& changed);
  [[nodiscard]] bool PassGoesOn();
  void Rebuild(const Settings& settings);
  // One synchronized step: the block at x, then the trailing column.
  void DrawStep(int x, int column, bool forward);
  void Sleep();
  void ForwardPass();
  void BackwardPass();

  TVVNavigatorGauge* gauge_;
  std::mutex mutex_;
  std::condition_variable wake_;
  Settings settings_;
  bool changed_ = true;
  bool stopping_ = false;
  // Used on the GUI thread only (in synchronized steps), except block_width_
  // and the pass's area, which the worker reads after the rebuild returned.
  std::unique_ptr<TBitmap> left_to_right_;
  std::unique_ptr<TBitmap> right_to_left_;
  TRect area_;
  int block_width_ = 0;
  TColor back_color_ = clBtnFace;
};

// A small windowless busy indicator: while Active, a block with a colour
// gradient (leading edge ForeColor, fading to BackColor) slides back and
// forth across it.
class TVVNavigatorGauge : public TGraphicControl {
 public:
  explicit TVVNavigatorGauge(TComponent* owner);
  ~TVVNavigatorGauge() override;

  [[nodiscard]] bool Active() const { return active_; }
  virtual void SetActive(bool value);
  [[nodiscard]] TColor ForeColor() const { return fore_color_; }
  virtual void SetForeColor(TColor value);
  [[nodiscard]] TColor BackColor() const { return back_color_; }
  virtual void SetBackColor(TColor value);
  // Milliseconds slept after each one-pixel step (0 sleeps 1, so that the GUI
  // thread's loop still finds its queue empty between steps).
  [[nodiscard]] int Delay() const { return delay_; }
  virtual void SetDelay(int value);
  // The block's width as a part of the gauge's; clamped to 0..1.
  [[nodiscard]] double FillRatio() const { return fill_ratio_; }
  virtual void SetFillRatio(double value);
  // Colour bands in the block; clamped to 1..255.
  [[nodiscard]] int GradientColorCount() const { return gradient_color_count_; }
  virtual void SetGradientColorCount(int value);

 protected:
  void WndProc(TMessage& message) override;
  void Paint() override;

 private:
  void PicturesChanged();

  TVVNavigatorGaugeThread* thread_;  // frees itself once stopped
  bool active_ = false;
  TColor fore_color_ = clBtnShadow;
  TColor back_color_ = clBtnFace;
  int delay_ = 20;
  double fill_ratio_ = 0.5;
  int gradient_color_count_ = 64;
  // Kept while hidden, given back when shown again.
  int saved_width_ = 0;
  int saved_height_ = 0;
  bool saved_active_ = false;
};

}  // namespace lark
