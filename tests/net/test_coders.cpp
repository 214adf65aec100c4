#include "net/coders.h"

#include <gtest/gtest.h>

#include "net/net_exception.h"

namespace lark {
namespace {

TEST(Coders, Base64OfShortTextsAndTheirFill) {
  EXPECT_EQ(Base64Encode("abc"), "YWJj");
  EXPECT_EQ(Base64Encode("ab"), "YWI=");
  EXPECT_EQ(Base64Encode("a"), "YQ==");
  EXPECT_EQ(Base64Encode(""), "");
  EXPECT_EQ(Base64Encode("alice:s3cret"), "YWxpY2U6czNjcmV0");
}

TEST(Coders, Base64RoundTripsAcrossBlockBoundaries) {
  std::string bytes;
  for (int i = 0; i < 10000; ++i) bytes += static_cast<char>(i * 7 % 256);
  for (size_t length : {0u, 1u, 2u, 3u, 4095u, 4096u, 4097u, 10000u}) {
    std::string part = bytes.substr(0, length);
    EXPECT_EQ(Base64Decode(Base64Encode(part)), part) << length;
  }
  EXPECT_EQ(Base64Decode("YW\r\nJj"), "abc");
}

TEST(Coders, DecodingACharacterOutsideTheTableFails) {
  try {
    (void)Base64Decode("YW*j");
    FAIL();
  } catch (const ENetTableNotFound& e) {
    EXPECT_STREQ(e.what(), "Coding table entry not found.");
  }
}

std::string Drain(TNetCoder& coder) {
  std::string text;
  for (std::string entry; !(entry = coder.GetCodedData()).empty();) {
    if (entry.compare(0, 2, "0;") == 0) text += entry.substr(2);
  }
  return text;
}

TEST(Coders, UUAndXXRoundTripWithHeaderAndEnd) {
  std::string data = "The quick brown fox jumps over the lazy dog, twice: the quick brown fox.";
  for (const char* name : {"x-uu", "x-xx"}) {
    auto encoder = CreateCoder(name, 0);
    ASSERT_NE(encoder, nullptr);
    encoder->SetFileName("fox.txt");
    encoder->CodeString(data);
    encoder->Completed();
    std::string text = Drain(*encoder);
    EXPECT_EQ(text.substr(0, 18), "BEGIN 644 fox.txt\r") << name;
    EXPECT_NE(text.find("\r\nEND\r\n"), std::string::npos) << name;

    auto decoder = CreateCoder(name, 128);
    decoder->CodeString(text);
    decoder->Completed();
    EXPECT_EQ(decoder->GetNotification(), "5;fox.txt") << name;
    EXPECT_EQ(decoder->GetNotification(), "") << name;
    EXPECT_EQ(Drain(*decoder), data) << name;
  }
}

TEST(Coders, UUDecoderReportsABadHeaderAndAMissingEnd) {
  TNetUUDecoder decoder;
  decoder.CodeString("BEGIN 64x file\r\n");
  decoder.Completed();
  EXPECT_EQ(decoder.GetNotification(), "44;Privilege chars not numeric");
  EXPECT_EQ(decoder.GetNotification(), "5;file");
  EXPECT_EQ(decoder.GetNotification(), "45; Data ended without an END statment");
}

TEST(Coders, MimePrefixesAndRegistration) {
  EXPECT_STREQ(MIMETypePrefixes[0], "application/");
  EXPECT_STREQ(MIMETypePrefixes[6], "video/");
  EXPECT_EQ(RegisteredCoders().size(), 8u);
  EXPECT_EQ(CreateCoder("nonsense", 0), nullptr);
}

}  // namespace
}  // namespace lark
