#include "platform/core/exception.h"

#include <gtest/gtest.h>

namespace lark {
namespace {

TEST(Exception, CarriesItsMessageAsWhat) {
  try {
    throw Exception("Open Comment at End of HTML File");
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Open Comment at End of HTML File");
  }
}

}  // namespace
}  // namespace lark
