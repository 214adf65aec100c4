#include "controls/navigator_gauge.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "controls/gui_utils.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

namespace lark {

// --- TVVNavigatorGaugeThread ----------------------------------------------------

TVVNavigatorGaugeThread::TVVNavigatorGaugeThread(TVVNavigatorGauge* gauge) : gauge_(gauge) {
  SetFreeOnTerminate(true);
  Target = gauge->Token();
}

void TVVNavigatorGaugeThread::SetPictures(TColor foreColor, TColor backColor, double fillRatio,
                                          int gradientColorCount) {
  std::lock_guard<std::mutex> lock(mutex_);
  Settings& s = settings_;
  if (s.foreColor == foreColor && s.backColor == backColor && s.fillRatio == fillRatio &&
      s.gradientColorCount == gradientColorCount) {
    return;
  }
  s.foreColor = foreColor;
  s.backColor = backColor;
  s.fillRatio = fillRatio;
  s.gradientColorCount = gradientColorCount;
  changed_ = true;
  wake_.notify_all();
}

void TVVNavigatorGaugeThread::SetArea(const TRect& area) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (settings_.area == area) return;
  settings_.area = area;
  changed_ = true;
  wake_.notify_all();
}

void TVVNavigatorGaugeThread::SetDelay(int delay) {
  std::lock_guard<std::mutex> lock(mutex_);
  settings_.delay = delay;  // read at the next step: the pass goes on
}

void TVVNavigatorGaugeThread::Stop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    wake_.notify_all();
  }
  // The worker leaves its loop only once terminated, so it cannot have freed
  // itself before this call.
  Terminate();
}

TVVNavigatorGaugeThread::Settings TVVNavigatorGaugeThread::Snapshot(bool& changed) {
  std::lock_guard<std::mutex> lock(mutex_);
  changed = changed_;
  changed_ = false;
  return settings_;
}

bool TVVNavigatorGaugeThread::PassGoesOn() {
  if (Terminated()) return false;  // also where a suspended worker waits
  std::lock_guard<std::mutex> lock(mutex_);
  return !changed_ && !stopping_;
}

void TVVNavigatorGaugeThread::Sleep() {
  std::unique_lock<std::mutex> lock(mutex_);
  // At least a millisecond, so that the GUI thread's loop finds no step
  // waiting between two and its other messages keep flowing.
  const auto delay = std::chrono::milliseconds(std::max(1, settings_.delay));
  wake_.wait_for(lock, delay, [this] { return changed_ || stopping_; });
}

namespace {
std::unique_ptr<TBitmap> BlockPicture(int width, int height, TColor from, TColor to, TFillDirection direction,
                                      int colors) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(width, height);
  GradientFillRect(bitmap->Canvas(), Rect(0, 0, width, height), from, to, direction, colors);
  return bitmap;
}
}  // namespace

// On the GUI thread.
void TVVNavigatorGaugeThread::Rebuild(const Settings& settings) {
  area_ = settings.area;
  back_color_ = settings.backColor;
  block_width_ = static_cast<int>(std::trunc(RectWidth(area_) * settings.fillRatio));
  const int height = RectHeight(area_);
  left_to_right_ = BlockPicture(block_width_, height, settings.backColor, settings.foreColor, fdLeftToRight,
                                settings.gradientColorCount);
  right_to_left_ = BlockPicture(block_width_, height, settings.backColor, settings.foreColor, fdRightToLeft,
                                settings.gradientColorCount);
  if (!gauge_->Parent()) return;
  TCanvas& canvas = gauge_->Canvas();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = back_color_;
  canvas.FillRect(area_);
}

void TVVNavigatorGaugeThread::DrawStep(int x, int column, bool forward) {
  Synchronize([this, x, column, forward] {
    // The canvas is taken anew at every step: a window canvas goes with a
    // re-created window.
    if (!gauge_->Parent()) return;
    TCanvas& canvas = gauge_->Canvas();
    const TBitmap& block = forward ? *left_to_right_ : *right_to_left_;
    if (block_width_ > 0 && RectHeight(area_) > 0) canvas.Draw(x, area_.Top, block);
    if (column >= area_.Left && column <= area_.Right) {
      canvas.Pen().Style = psSolid;
      canvas.Pen().Mode = pmCopy;
      canvas.Pen().Color = back_color_;
      canvas.MoveTo(column, area_.Top);
      canvas.LineTo(column, area_.Bottom);
    }
  });
}

void TVVNavigatorGaugeThread::ForwardPass() {
  int x = area_.Left - block_width_;
  int column = x;
  while (x <= area_.Right && PassGoesOn()) {
    DrawStep(x++, column++, true);
    Sleep();
  }
}

void TVVNavigatorGaugeThread::BackwardPass() {
  int x = area_.Right;
  int column = x + block_width_;
  while (column >= area_.Left && PassGoesOn()) {
    DrawStep(x--, column--, false);
    Sleep();
  }
}

void TVVNavigatorGaugeThread::Execute() {
  while (!Terminated()) {
    bool changed = false;
    const Settings settings = Snapshot(changed);
    if (changed) Synchronize([this, settings] { Rebuild(settings); });
    if (!left_to_right_) continue;  // the rebuild was dropped: the gauge is gone
    ForwardPass();
    BackwardPass();
  }
}

// --- TVVNavigatorGauge ----------------------------------------------------------

TVVNavigatorGauge::TVVNavigatorGauge(TComponent* owner)
    : TGraphicControl(owner), thread_(new TVVNavigatorGaugeThread(this)) {
  SetBounds(Left(), Top(), 75, 10);
  thread_->SetArea(Rect(0, 0, Width(), Height()));
}

TVVNavigatorGauge::~TVVNavigatorGauge() {
  SetActive(false);
  thread_->Stop();
}

void TVVNavigatorGauge::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (active_) {
    thread_->Resume();
  } else {
    thread_->Suspend();
    Invalidate();
  }
}

void TVVNavigatorGauge::PicturesChanged() {
  thread_->SetPictures(fore_color_, back_color_, fill_ratio_, gradient_color_count_);
}

void TVVNavigatorGauge::SetForeColor(TColor value) {
  fore_color_ = value;
  PicturesChanged();
}

void TVVNavigatorGauge::SetBackColor(TColor value) {
  back_color_ = value;
  PicturesChanged();
}

void TVVNavigatorGauge::SetDelay(int value) {
  delay_ = value;
  thread_->SetDelay(value);
}

void TVVNavigatorGauge::SetFillRatio(double value) {
  fill_ratio_ = std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
  PicturesChanged();
}

void TVVNavigatorGauge::SetGradientColorCount(int value) {
  gradient_color_count_ = std::clamp(value, 1, 255);
  PicturesChanged();
}

void TVVNavigatorGauge::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_WINDOWPOSCHANGED:
      thread_->SetArea(Rect(0, 0, Width(), Height()));
      break;
    case CM_VISIBLECHANGING:
      if (message.WParam == 0) {
        saved_width_ = Width();
        saved_height_ = Height();
        saved_active_ = active_;
        SetActive(false);
      } else if (saved_width_ > 0) {
        SetBounds(Left(), Top(), saved_width_, saved_height_);
        SetActive(saved_active_);
      }
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(message);
}

void TVVNavigatorGauge::Paint() {
  if (!HasState(csDesigning) || active_) return;  // at run time the worker draws
  TCanvas& canvas = Canvas();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = clBtnText;
  canvas.FillRect(ClientRect());
}

}  // namespace lark
