#include "platform/core/message_pump.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

TEST(MessagePump, RunsTheInstalledPumpAndNothingWithout) {
  SetMessagePump(nullptr);
  ProcessPendingMessages();  // no pump: must simply return
  int runs = 0;
  SetMessagePump([&] { ++runs; });
  ProcessPendingMessages();
  ProcessPendingMessages();
  EXPECT_EQ(runs, 2);
  SetMessagePump(nullptr);
}

}  // namespace
}  // namespace lark
