#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  // Test binaries run headless, also when started by hand or by test discovery.
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
