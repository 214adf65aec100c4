#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/core/locale_settings.h"

namespace lark {
namespace {

// Runs with the "C" locale and puts back the one in force.
class LocaleSettings : public testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
  }
  void TearDown() override { std::setlocale(LC_ALL, previous_.c_str()); }

 private:
  std::string previous_;
};

TEST_F(LocaleSettings, PatternsComeFromTheLocaleInTheClassLibrarysLetters) {
  EXPECT_EQ(ShortDateFormat(), "mm/dd/yy");
  EXPECT_EQ(LongTimeFormat(), "hh:nn:ss");
  // So a program asking for a four-digit year finds none here.
  EXPECT_EQ(ShortDateFormat().find("yyyy"), std::string::npos);
}

TEST_F(LocaleSettings, DateTimesLeaveOutMidnight) {
  EXPECT_EQ(DateTimeToStr(EncodeDate(2026, 12, 9) + EncodeTime(8, 5, 3, 0)), "12/09/26 08:05:03");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2000, 1, 31)), "01/31/00");
}

TEST_F(LocaleSettings, TheCLocaleMeasuresInMillimetres) { EXPECT_TRUE(MetricMeasurement()); }

}  // namespace
}  // namespace lark
