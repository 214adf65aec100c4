#pragma once

// The base of the library's components: the socket stack's lifetime, the
// status event and the two work areas (reading and writing) through which the
// application follows a transfer.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/core/object.h"

namespace lark {

enum class TWorkMode { wmRead = 0, wmWrite = 1 };

enum class TNetStatus { hsResolving, hsConnecting, hsConnected, hsDisconnecting, hsDisconnected, hsText };

using TNetStatusEvent = std::function<void(TObject* axSender, TNetStatus axStatus, const std::string& asStatusText)>;
// Byte counts are 64-bit: a download may exceed 2 GiB.
using TWorkEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode, std::int64_t AWorkCount)>;
using TWorkBeginEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode, std::int64_t AWorkCountMax)>;
using TWorkEndEvent = std::function<void(TObject* Sender, TWorkMode AWorkMode)>;
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TNetComponent : public TObject {
 public:
  // The first component creates the process-wide socket stack, the last one
  // frees it.
  TNetComponent();
  ~TNetComponent() override;
  TNetComponent(const TNetComponent&) = delete;
  TNetComponent& operator=(const TNetComponent&) = delete;

  void DoStatus(TNetStatus status, const std::string& argument = {});
  virtual void BeginWork(TWorkMode mode, std::int64_t countMax = 0);
  virtual void DoWork(TWorkMode mode, std::int64_t count);
  virtual void EndWork(TWorkMode mode);

  TNetStatusEvent OnStatus;
  TWorkEvent OnWork;
  TWorkBeginEvent OnWorkBegin;
  TWorkEndEvent OnWorkEnd;

 private:
  struct WorkArea {
    std::int64_t count = 0;
    std::int64_t max = 0;
    int level = 0;
  };
  WorkArea& Area(TWorkMode mode) { return work_[static_cast<int>(mode)]; }
  WorkArea work_[2];
};

// Begins work on construction and ends it on destruction, also when the
// work fails, so that begin and end events always pair.
class TWorkScope {
 public:
  TWorkScope(TNetComponent& component, TWorkMode mode, std::int64_t countMax)
      : component_(component), mode_(mode) {
    component_.BeginWork(mode_, countMax);
  }
  ~TWorkScope() { component_.EndWork(mode_); }
  TWorkScope(const TWorkScope&) = delete;
  TWorkScope& operator=(const TWorkScope&) = delete;

 private:
  TNetComponent& component_;
  TWorkMode mode_;
};

}  // namespace lark
