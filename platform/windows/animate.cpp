#include "platform/windows/animate.h"

#include <algorithm>
#include <cstring>

#include "platform/core/file_stream.h"
#include "platform/graphics/avi_reader.h"
#include "platform/graphics/resources.h"
#include "platform/windows/timer.h"

namespace lark {
namespace {

[[noreturn]] void CannotOpen(const std::string& reason) { throw EInvalidOperation("Cannot open AVI: " + reason); }

std::string ReadClipFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  // Checked before reading, so a huge file is never read into memory.
  if (stream.Size() > std::int64_t(kMaxAviFileSize)) CannotOpen("AVI file is larger than 64 MB");
  return stream.ReadRest();
}

std::uint32_t OpaqueRgb(TColor color) {
  const std::uint32_t bgr = ColorToRGB24(color);
  return 0xFF000000u | (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16);
}

}  // namespace

TAnimate::TAnimate(TComponent* owner) : TCustomControl(owner), timer_(std::make_unique<TTimer>(nullptr)) {
  SetBounds(0, 0, 100, 80);
  SetParentColor(true);
  timer_->SetEnabled(false);
  timer_->OnTimer = [this](TObject*) { Tick(); };
  frame_bitmap_.SetPixelFormat(pf32bit);
}

TAnimate::~TAnimate() {
  Destroying();
  timer_->SetEnabled(false);
}

void TAnimate::SetFileName(const std::string& fileName) { ChangeSource(fileName, "", 0); }
void TAnimate::SetResName(const std::string& resName) { ChangeSource("", resName, 0); }
void TAnimate::SetResId(int resId) { ChangeSource("", "", resId); }

// One source at a time, as on the desktop: naming one forgets the others.
void TAnimate::ChangeSource(const std::string& fileName, const std::string& resName, int resId) {
  if (!HasState(csLoading)) Close();
  file_name_ = fileName;
  res_name_ = resName;
  res_id_ = resId;
  if (!HasState(csLoading) && HasSource()) OpenClip();
}

bool TAnimate::HasSource() const { return !file_name_.empty() || !res_name_.empty() || res_id_ != 0; }

void TAnimate::SetOpen(bool open) {
  if (open == Open()) return;
  if (open) OpenClip();
  else Close();
}

void TAnimate::OpenClip() {
  Close();
  std::unique_ptr<TAviClip> clip;
  try {
    clip = std::make_unique<TAviClip>(ReadSource());
  } catch (const EInvalidOperation&) {
    throw;
  } catch (const Exception& error) {
    CannotOpen(error.Message);
  }
  clip_ = std::move(clip);
  transparent_key_ = clip_->Frame(0).front();
  frame_bitmap_.SetSize(clip_->Width(), clip_->Height());
  timer_->SetInterval(std::max<unsigned>(1, (clip_->FrameDelay() + 500) / 1000));
  // Frames chosen before the clip was known stay when the clip has them.
  if (start_frame_ < 1 || start_frame_ > FrameCount()) start_frame_ = 1;
  if (stop_frame_ < start_frame_ || stop_frame_ > FrameCount()) stop_frame_ = FrameCount();
  AdjustSize();
  ShowFrame(start_frame_);
  if (OnOpen) OnOpen(this);
}

std::string TAnimate::ReadSource() const {
  if (!file_name_.empty()) return ReadClipFile(file_name_);
  if (!HasSource()) CannotOpen("no file or resource is named");
  const std::string name = res_name_.empty() ? std::to_string(res_id_) : res_name_;
  const std::optional<std::string_view> bytes = FindResource(name);
  if (!bytes) CannotOpen("resource " + name + " not found");
  return std::string(*bytes);
}

void TAnimate::Close() {
  if (!clip_) return;
  Stop();
  clip_.reset();
  current_frame_ = 0;
  Invalidate();
  if (OnClose) OnClose(this);
}

void TAnimate::SetActive(bool active) {
  if (HasState(csLoading)) {
    streamed_active_ = active;
    return;
  }
  if (active == active_) return;
  if (!active) {
    Stop();
    return;
  }
  if (!Open()) OpenClip();
  Play(start_frame_, stop_frame_, repetitions_);
}

void TAnimate::SetStartFrame(int frame) {
  start_frame_ = frame;
  RestartIfActive();
}

void TAnimate::SetStopFrame(int frame) {
  stop_frame_ = frame;
  RestartIfActive();
}

void TAnimate::SetRepetitions(int count) {
  repetitions_ = count;
  RestartIfActive();
}

void TAnimate::RestartIfActive() {
  if (active_) Play(start_frame_, stop_frame_, repetitions_);
}

int TAnimate::FrameCount() const { return clip_ ? clip_->FrameCount() : 0; }
int TAnimate::FrameWidth() const { return clip_ ? clip_->Width() : 0; }
int TAnimate::FrameHeight() const { return clip_ ? clip_->Height() : 0; }

void TAnimate::SetAutoSize(bool autoSize) {
  auto_size_ = autoSize;
  AdjustSize();
}

void TAnimate::AdjustSize() {
  if (auto_size_ && clip_) SetBounds(Left(), Top(), clip_->Width(), clip_->Height());
}

void TAnimate::SetCenter(bool center) {
  center_ = center;
  Invalidate();
}

void TAnimate::SetTransparent(bool transparent) {
  transparent_ = transparent;
  Invalidate();
}

void TAnimate::CheckFrame(int frame) const {
  if (frame < 1 || frame > FrameCount())
    throw EInvalidOperation("Frame " + std::to_string(frame) + " is not in the clip (1 to " +
                            std::to_string(FrameCount()) + ")");
}

void TAnimate::Play(int fromFrame, int toFrame, int count) {
  if (!Open()) OpenClip();
  CheckFrame(fromFrame);
  CheckFrame(toFrame);
  if (fromFrame > toFrame)
    throw EInvalidOperation("Cannot play from frame " + std::to_string(fromFrame) + " back to frame " +
                            std::to_string(toFrame));
  if (count < 0) throw EInvalidOperation("Repetitions cannot be negative");
  start_frame_ = fromFrame;
  stop_frame_ = toFrame;
  repetitions_ = count;
  rounds_played_ = 0;
  ShowFrame(fromFrame);
  timer_->SetEnabled(false);  // a new play starts a full frame time
  timer_->SetEnabled(true);
  active_ = true;
  if (OnStart) OnStart(this);
}

void TAnimate::Stop() {
  if (!active_) return;
  active_ = false;
  timer_->SetEnabled(false);
  if (OnStop) OnStop(this);
}

void TAnimate::Seek(int frame) {
  if (!Open()) OpenClip();
  CheckFrame(frame);
  Stop();
  ShowFrame(frame);
}

void TAnimate::Reset() {
  Stop();
  start_frame_ = 1;
  stop_frame_ = FrameCount();
  if (Open()) ShowFrame(1);
}

// Each tick shows the next frame; the last frame of a round shows for a
// whole frame time before the next round starts or the play ends.
void TAnimate::Tick() {
  if (!active_) return;
  if (current_frame_ < stop_frame_) {
    ShowFrame(current_frame_ + 1);
    return;
  }
  ++rounds_played_;
  if (repetitions_ > 0 && rounds_played_ >= repetitions_) {
    Stop();
    return;
  }
  ShowFrame(start_frame_);
}

void TAnimate::ShowFrame(int frame) {
  current_frame_ = frame;
  Invalidate();
}

void TAnimate::Paint() {
  if (!clip_ || current_frame_ == 0) return;
  const std::vector<std::uint32_t>& pixels = clip_->Frame(current_frame_ - 1);
  const int width = clip_->Width(), height = clip_->Height();
  const std::uint32_t background = OpaqueRgb(Color());
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* in = pixels.data() + std::size_t(y) * std::size_t(width);
    auto* out = static_cast<std::uint32_t*>(frame_bitmap_.ScanLine(y));
    if (!transparent_) std::memcpy(out, in, std::size_t(width) * 4);
    else
      for (int x = 0; x < width; ++x) out[x] = in[x] == transparent_key_ ? background : in[x];
  }
  const TRect client = ClientRect();
  const int x = center_ ? (client.Width() - width) / 2 : 0;
  const int y = center_ ? (client.Height() - height) / 2 : 0;
  Canvas().Draw(x, y, frame_bitmap_);
}

void TAnimate::Loaded() {
  TCustomControl::Loaded();
  if (HasSource()) OpenClip();
  if (streamed_active_) SetActive(true);
}

}  // namespace lark
