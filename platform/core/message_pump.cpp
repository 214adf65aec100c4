#include "platform/core/message_pump.h"

#include <utility>

namespace lark {
namespace {
std::function<void()>& Pump() {
  static std::function<void()> pump;
  return pump;
}
}  // namespace

void SetMessagePump(std::function<void()> pump) { Pump() = std::move(pump); }

void ProcessPendingMessages() {
  if (Pump()) Pump()();
}

}  // namespace lark
