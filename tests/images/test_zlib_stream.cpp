#include <gtest/gtest.h>

#include "images/zlib_stream.h"
#include "tests/images/png_builder.h"

namespace lark {
namespace {

TEST(ZStreams, InflateStopsAtTheEndOfTheStreamAndReportsShortData) {
  const std::string z = test::Deflate("hello world") + "trailing garbage";
  TZDecompressionStream in(reinterpret_cast<const uint8_t*>(z.data()), z.size());
  char buffer[64];
  EXPECT_EQ(in.Read(buffer, sizeof buffer), 11);
  EXPECT_TRUE(in.AtEnd());
  EXPECT_EQ(in.Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(in.Seek(0, TSeekOrigin::soBeginning), 0);
  EXPECT_EQ(in.Seek(6, TSeekOrigin::soCurrent), 6);
  EXPECT_EQ(in.Read(buffer, 5), 5);
  EXPECT_EQ(std::string(buffer, 5), "world");
  EXPECT_THROW(in.Seek(-1, TSeekOrigin::soCurrent), EZDecompressionError);

  const std::string cut = test::Deflate(std::string(1000, 'a')).substr(0, 6);
  TZDecompressionStream truncated(reinterpret_cast<const uint8_t*>(cut.data()), cut.size());
  std::vector<char> big(1000);
  EXPECT_LT(truncated.Read(big.data(), 1000), 1000);

  const std::string junk = "\x78\x9c\xff\xff\xff\xff";
  TZDecompressionStream corrupt(reinterpret_cast<const uint8_t*>(junk.data()), junk.size());
  EXPECT_THROW((void)corrupt.Read(big.data(), 10), EZDecompressionError);
}

TEST(ZStreams, CompressionRoundTripsAndRefusesReading) {
  TMemoryStream packed;
  std::string text(100000, 'x');
  for (size_t i = 0; i < text.size(); i += 7) text[i] = char(i);
  {
    TZCompressionStream out(TCompressionLevel::clMax, packed);
    out.Write(text.data(), 50000);
    out.Write(text.data() + 50000, 50000);
    EXPECT_EQ(out.Seek(0, TSeekOrigin::soCurrent), 100000);
    char byte;
    EXPECT_THROW((void)out.Read(&byte, 1), EZCompressionError);
  }
  TZDecompressionStream in(static_cast<const uint8_t*>(packed.Memory()), packed.Size());
  std::string back(100000, '\0');
  EXPECT_EQ(in.Read(back.data(), 100000), 100000);
  EXPECT_EQ(back, text);
}

}  // namespace
}  // namespace lark
