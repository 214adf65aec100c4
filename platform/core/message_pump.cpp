#include "platform/core/message_pump.h"

#include <utility>

namespace lark {
namespace {
struct Pumps {
  std::function<void()> all;
  std::function<void()> one;
};

Pumps& Installed() {
  static Pumps pumps;
  return pumps;
}
}  // namespace

void SetMessagePump(std::function<void()> pumpAll, std::function<void()> pumpOne) {
  Installed() = Pumps{std::move(pumpAll), std::move(pumpOne)};
}

void ProcessPendingMessages() {
  if (Installed().all) Installed().all();
}

void ProcessOnePendingMessage() {
  if (Installed().one) {
    Installed().one();
  } else {
    ProcessPendingMessages();
  }
}

}  // namespace lark
