#include <gtest/gtest.h>

#include "net/http_client.h"
#include "net/net_exception.h"
#include "platform/core/stream.h"
#include "tests/net/nginx_peer.h"

namespace lark {
namespace {

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 7) & 0xFF);
  return bytes;
}

class Nginx : public testing::Test {
 protected:
  void SetUp() override {
    nginx_.WriteFile("a.html", "<p>first</p>");
    nginx_.WriteFile("b.txt", "second");
    nginx_.WriteFile("empty.txt", "");
    nginx_.WriteFile("large.bin", large_);
    nginx_.Start();
    ASSERT_TRUE(nginx_.Started()) << nginx_.Error();
    http_.OnStatus = [this](TObject*, TNetStatus status, const std::string&) {
      connects_ += status == TNetStatus::hsConnecting ? 1 : 0;
    };
  }
  std::string Fetch(const std::string& path) {
    TMemoryStream body;
    http_.Get(nginx_.Url(path), &body);
    return std::string(body.Bytes());
  }

  test::NginxPeer nginx_;
  const std::string large_ = Pattern(24 * 1024 * 1024 + 7);
  TNetHTTP http_;
  int connects_ = 0;
};

TEST_F(Nginx, StaticFilesOverOneKeptAliveConnection) {
  EXPECT_EQ(Fetch("/a.html"), "<p>first</p>");
  EXPECT_EQ(http_.Response.ContentType, "text/html");
  EXPECT_EQ(Fetch("/b.txt"), "second");
  EXPECT_EQ(Fetch("/empty.txt"), "");
  EXPECT_GT(http_.Response.LastModified, 40000);
  EXPECT_EQ(connects_, 1);
}

TEST_F(Nginx, ALargeBodyArrivesWhole) {
  std::int64_t progress = 0;
  http_.OnWork = [&](TObject*, TWorkMode, std::int64_t count) { progress = count; };
  EXPECT_EQ(Fetch("/large.bin"), large_);
  EXPECT_EQ(progress, static_cast<std::int64_t>(large_.size()));
  EXPECT_EQ(Fetch("/b.txt"), "second");
  EXPECT_EQ(connects_, 1);
}

TEST_F(Nginx, NotFoundKeepsItsPageAndTheConnection) {
  TMemoryStream body;
  try {
    http_.Get(nginx_.Url("/nowhere.html"), &body);
    FAIL();
  } catch (const ENetProtocolReplyError& e) {
    EXPECT_EQ(e.ReplyCode, 404);
    EXPECT_STREQ(e.what(), "404 Not Found");
  }
  EXPECT_NE(std::string(body.Bytes()).find("404"), std::string::npos);
  EXPECT_EQ(Fetch("/b.txt"), "second");
  EXPECT_EQ(connects_, 1);
}

TEST_F(Nginx, HeadAndHTTP10) {
  http_.Head(nginx_.Url("/large.bin"));
  EXPECT_EQ(http_.Response.ContentLength, static_cast<std::int64_t>(large_.size()));
  EXPECT_EQ(Fetch("/a.html"), "<p>first</p>");
  http_.ProtocolVersion = TNetHTTPProtocolVersion::pv1_0;
  EXPECT_EQ(Fetch("/b.txt"), "second");
  EXPECT_FALSE(http_.Connected());
  EXPECT_EQ(connects_, 1);
}

}  // namespace
}  // namespace lark
