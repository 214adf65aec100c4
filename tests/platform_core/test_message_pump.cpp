#include "platform/core/message_pump.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

TEST(MessagePump, RunsTheInstalledPumpAndNothingWithout) {
  SetMessagePump(nullptr);
  ProcessPendingMessages();  // no pump: must simply return
  ProcessOnePendingMessage();
  int runs = 0;
  SetMessagePump([&] { ++runs; });
  ProcessPendingMessages();
  ProcessPendingMessages();
  EXPECT_EQ(runs, 2);
  SetMessagePump(nullptr);
}

TEST(MessagePump, OneMessageUsesItsOwnPumpOrFallsBackToAll) {
  int all = 0, one = 0;
  SetMessagePump([&] { ++all; });
  ProcessOnePendingMessage();
  EXPECT_EQ(all, 1);
  SetMessagePump([&] { ++all; }, [&] { ++one; });
  ProcessOnePendingMessage();
  ProcessPendingMessages();
  EXPECT_EQ(one, 1);
  EXPECT_EQ(all, 2);
  SetMessagePump(nullptr);
}

}  // namespace
}  // namespace lark
