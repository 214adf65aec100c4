#include <sys/stat.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/file_connection.h"
#include "app/ftp_connection.h"
#include "app/http_connection.h"
#include "html/url_helpers.h"
#include "net/ftp_client.h"
#include "platform/core/exception.h"
#include "platform/core/stream.h"
#include "tests/net_ftp/ftp_test_support.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

TEST(GetConnection, PicksTheClassByProtocol) {
  EXPECT_NE(dynamic_cast<THTTPConnection*>(TURLConnection::GetConnection("HTTP://a/").get()), nullptr);
  EXPECT_NE(dynamic_cast<THTTPConnection*>(TURLConnection::GetConnection("https://a/").get()), nullptr);
  EXPECT_NE(dynamic_cast<TFileConnection*>(TURLConnection::GetConnection("file:///tmp/x").get()), nullptr);
  EXPECT_NE(dynamic_cast<TFTPConnection*>(TURLConnection::GetConnection("ftp://h/x").get()), nullptr);
  EXPECT_EQ(TURLConnection::GetConnection("gopher://h/x"), nullptr);
  auto fresh = TURLConnection::GetConnection("file:///x");
  EXPECT_EQ(fresh->StatusCode, 404);
  EXPECT_EQ(fresh->StatusText, "Can't get file");
}

struct FileFetch {
  int error = -1;
  int doneCount = 0;
  bool raised = false;
  std::string bytes;
  int docType = -1;
};

FileFetch FetchFile(const std::string& url) {
  FileFetch result;
  TFileConnection connection;
  connection.OnDone = [&](TObject*, bool, int error) {
    result.error = error;
    ++result.doneCount;
  };
  try {
    connection.Get(url);
    result.bytes = connection.InputStream()->ReadRest();
    result.docType = connection.GetDocType();
  } catch (const EFileStreamError&) {
    result.raised = true;
  }
  return result;
}

TEST(FileConnection, ReadsRegularFilesOnly) {
  test::TempDir dir;
  dir.Write("a b.PNG", "picture");
  dir.Write("notes.txt", "text");
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  const FileFetch image = FetchFile("file://" + FileNameToURL(dir.File("a b.PNG")) + "?query=1");
  EXPECT_EQ(image.bytes, "picture");
  EXPECT_EQ(image.docType, 2);
  EXPECT_EQ(image.error, 0);
  EXPECT_EQ(FetchFile("file://localhost" + FileNameToURL(dir.File("notes.txt"))).docType, 1);

  // Each refused at once with error 1 before the raise, never a hang.
  for (const std::string& url : std::vector<std::string>{"file://" + dir.File("missing.html"), "file://" + fifo,
                                                         "file:///dev/zero", "file://otherhost" + dir.File("notes.txt"),
                                                         "file://" + dir.File("a%00b")}) {
    const FileFetch failed = FetchFile(url);
    EXPECT_TRUE(failed.raised) << url;
    EXPECT_EQ(failed.error, kFetchFailed) << url;
    EXPECT_EQ(failed.doneCount, 1) << url;
  }
}

TEST(FileConnection, AsyncFailureReportsOnceAndMayFreeTheConnection) {
  auto* connection = new TFileConnection;
  int error = -1, count = 0;
  connection->OnDone = [&](TObject*, bool, int e) {
    error = e;
    ++count;
    delete connection;  // freeing from OnDone is allowed
  };
  connection->GetAsync("file:///no/such/file");
  EXPECT_EQ(error, kFetchFailed);
  EXPECT_EQ(count, 1);
}

TEST(FTPURL, SplitsHostPortUserAndDecodesNames) {
  const TFTPTarget plain = SplitFTPURL("ftp://h/bin/sub/b");
  EXPECT_EQ(plain.Host, "h");
  EXPECT_EQ(plain.Port, 21);
  EXPECT_EQ(plain.User, "anonymous");
  EXPECT_EQ(plain.Password.size(), 16u);
  EXPECT_EQ(plain.Folder, "/bin/sub/");
  EXPECT_EQ(plain.FileName, "b");
  const TFTPTarget full = SplitFTPURL("ftp://joe:pw@host:2121/a%20dir/%25x%20y.txt");
  EXPECT_EQ(full.Host, "host");
  EXPECT_EQ(full.Port, 2121);
  EXPECT_EQ(full.User, "joe");
  EXPECT_EQ(full.Password, "pw");
  EXPECT_EQ(full.Folder, "/a dir/");
  EXPECT_EQ(full.FileName, "%x y.txt");
  EXPECT_THROW((void)SplitFTPURL("ftp://h:99999/x"), EConvertError);
}

TEST(FTPConnection, RetrievesFromVsftpd) {
  test::VsftpdPeer peer;
  peer.MakeDirectory("bin");
  peer.MakeDirectory("bin/sub");
  peer.WriteFile("bin/sub/b", "bee");
  peer.WriteFile("bin/big", std::string(8 << 20, 'b'));
  peer.WriteFile("bin/sub/with blank.txt", std::string(100000, 'w'));
  peer.Start();
  ASSERT_TRUE(peer.Started()) << peer.Error();
  const std::string base = "ftp://127.0.0.1:" + std::to_string(peer.Port());

  TFTPConnection connection;
  int begins = 0;
  std::int64_t progress = 0;
  connection.OnBeginWork = [&](TObject*) { ++begins; };
  connection.OnProgress = [&](TObject*) { progress = connection.BytesReceived(); };
  connection.Get(base + "/bin/sub/with%20blank.txt");
  EXPECT_EQ(connection.InputStream()->ReadRest(), std::string(100000, 'w'));
  EXPECT_EQ(connection.GetContentLength(), 100000);
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(progress, 100000);

  TFTPConnection stopped;
  stopped.OnProgress = [&](TObject*) { stopped.Abort(); };
  EXPECT_THROW(stopped.Get(base + "/bin/big"), ENetFTPTransferAborted);

  TFTPConnection bee;
  bee.Get(base + "/bin/sub/b");
  EXPECT_EQ(bee.InputStream()->ReadRest(), "bee");

  TFTPConnection missing;
  int error = -1;
  missing.OnDone = [&](TObject*, bool, int e) { error = e; };
  missing.GetAsync(base + "/bin/sub/nothing");
  EXPECT_EQ(error, 404);  // the status a connection starts with, as nothing was found
}

}  // namespace
}  // namespace lark
