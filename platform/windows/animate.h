#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/graphics/bitmap.h"
#include "platform/windows/custom_control.h"

namespace lark {

class TAviClip;
class TTimer;

// The desktop's stock animations; none ships here.
enum class TCommonAVI { aviNone };

// Plays a silent AVI clip (see TAviClip) from a file or from a resource
// compiled into the program, frame by frame on a timer. Frames are numbered
// from 1. Setting FileName, ResName or ResId opens the clip at once (while a
// form resource loads: once it has loaded); a clip that cannot be read
// raises EInvalidOperation "Cannot open AVI: <reason>" and leaves the control
// empty.
class TAnimate : public TCustomControl {
 public:
  explicit TAnimate(TComponent* owner);
  ~TAnimate() override;

  const std::string& FileName() const { return file_name_; }
  void SetFileName(const std::string& fileName);
  const std::string& ResName() const { return res_name_; }
  void SetResName(const std::string& resName);
  int ResId() const { return res_id_; }
  void SetResId(int resId);
  TCommonAVI CommonAVI() const { return TCommonAVI::aviNone; }

  // Opening reads the clip named by FileName, ResName or ResId (the first
  // set); closing stops and empties the control.
  bool Open() const { return clip_ != nullptr; }
  void SetOpen(bool open);

  // Active plays StartFrame to StopFrame Repetitions times (0: for ever).
  bool Active() const { return active_; }
  void SetActive(bool active);
  int StartFrame() const { return start_frame_; }
  void SetStartFrame(int frame);
  // 0 until a clip is open, then the last frame unless set.
  int StopFrame() const { return stop_frame_; }
  void SetStopFrame(int frame);
  int Repetitions() const { return repetitions_; }
  void SetRepetitions(int count);

  int FrameCount() const;
  int FrameWidth() const;
  int FrameHeight() const;

  // The control takes the frames' size when a clip opens.
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool autoSize);
  // Frames show centred in the control, else at its top left.
  bool Center() const { return center_; }
  void SetCenter(bool center);
  // Pixels of the colour of the first frame's top-left pixel show the
  // control's colour (its parent's, while ParentColor holds).
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);

  // Plays frames fromFrame..toFrame `count` times (0: until stopped),
  // opening the clip first when needed. Raises EInvalidOperation for
  // frames outside 1..FrameCount or fromFrame after toFrame.
  void Play(int fromFrame, int toFrame, int count);
  void Stop();
  // Stops and shows one frame.
  void Seek(int frame);
  // Stops, plays the whole clip again from now on, and shows its first frame.
  void Reset();

  TNotifyEvent OnOpen;
  TNotifyEvent OnClose;
  TNotifyEvent OnStart;
  TNotifyEvent OnStop;

 protected:
  void Paint() override;
  void Loaded() override;

 private:
  void ChangeSource(const std::string& fileName, const std::string& resName, int resId);
  bool HasSource() const;
  void OpenClip();
  std::string ReadSource() const;
  void Close();
  void CheckFrame(int frame) const;
  void ShowFrame(int frame);
  void Tick();
  void AdjustSize();
  void RestartIfActive();

  std::string file_name_;
  std::string res_name_;
  int res_id_ = 0;
  std::unique_ptr<TAviClip> clip_;
  std::unique_ptr<TTimer> timer_;
  TBitmap frame_bitmap_;
  std::uint32_t transparent_key_ = 0;  // 0xFFRRGGBB of the first frame's top-left pixel

  bool active_ = false;
  bool streamed_active_ = false;  // Active set while a form resource loads
  int start_frame_ = 1;
  int stop_frame_ = 0;
  int repetitions_ = 0;
  int current_frame_ = 0;  // shown, 1-based; 0 while nothing is
  int rounds_played_ = 0;
  bool auto_size_ = true;
  bool center_ = true;
  bool transparent_ = true;
};

}  // namespace lark
