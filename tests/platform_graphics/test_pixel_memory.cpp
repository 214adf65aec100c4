#include "platform/graphics/pixel_memory.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lark {
namespace {

TEST(PixelMemory, LargeAndSmallStoresComeZeroedAndMove) {
  for (size_t size : {size_t{100}, size_t{3} << 20}) {
    PixelMemory store(size);
    ASSERT_EQ(store.Size(), size);
    EXPECT_TRUE(std::all_of(store.Bytes(), store.Bytes() + size, [](uint8_t b) { return b == 0; }));
    store.Bytes()[size - 1] = 7;
    PixelMemory moved(std::move(store));
    EXPECT_EQ(moved.Bytes()[size - 1], 7);
    EXPECT_EQ(store.Bytes(), nullptr);
  }
}

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
// Mapped stores are outside the sanitizer's heap; writing past one must
// still be reported, and the addresses must be clean once it is gone.
TEST(PixelMemoryDeathTest, WritingPastAMappedStoreIsReported) {
  const size_t size = (size_t{3} << 20) + 5;
  EXPECT_DEATH(
      {
        PixelMemory store(size);
        store.Bytes()[size] = 1;
      },
      "use-after-poison");
  for (int round = 0; round < 4; ++round) {
    PixelMemory store(size);
    store.Bytes()[size - 1] = 1;
  }
}
#endif
#endif

}  // namespace
}  // namespace lark
