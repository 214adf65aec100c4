#include "platform/core/stream.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <string>

#include "platform/core/exception.h"
#include "platform/core/file_stream.h"
#include "tests/support/test_files.h"

namespace lark {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(MemoryStream, WritesReadsAndSeeksLikeAFile) {
  TMemoryStream s;
  s.WriteString("hello");
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.Size(), 5);
  s.SetPosition(1);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 4);  // a short read reports what it got
  EXPECT_STREQ(buf, "ello");
  EXPECT_EQ(s.Read(buf, 8), 0);
  EXPECT_EQ(s.Seek(-2, TSeekOrigin::soEnd), 3);
  EXPECT_EQ(s.ReadRest(), "lo");
  s.SetPosition(8);  // beyond the end: a write fills the gap with zeros
  s.WriteString("!");
  EXPECT_EQ(s.Bytes(), std::string("hello\0\0\0!", 9));
  s.SetSize(2);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(std::memcmp(s.Memory(), "he", 2), 0);
  s.SetPosition(-5);
  EXPECT_EQ(s.Read(buf, 1), 0);
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStream, ShortReadBufferRaisesAndKeepsAllBytesForAWholeOne) {
  TStringStream s("abc");
  char buf[4] = {};
  s.ReadBuffer(buf, 3);
  EXPECT_STREQ(buf, "abc");
  s.SetPosition(1);
  EXPECT_THROW(s.ReadBuffer(buf, 3), EReadError);
  s.ReadBuffer(buf, 0);  // nothing asked, nothing raised
}

TEST(MemoryStream, CopyFromZeroCopiesTheWholeSource) {
  TStringStream source("0123456789");
  source.SetPosition(7);
  TMemoryStream dest;
  EXPECT_EQ(dest.CopyFrom(source, 0), 10);
  EXPECT_EQ(dest.Bytes(), "0123456789");
  source.SetPosition(2);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(source, 3), 3);
  EXPECT_EQ(part.Bytes(), "234");
  EXPECT_THROW(part.CopyFrom(source, 100), EReadError);
}

TEST(StringStream, DataStringFollowsWrites) {
  TStringStream s("abcdef");
  s.SetPosition(2);
  s.WriteString("XY");
  EXPECT_EQ(s.DataString(), "abXYef");  // overwrites in place, keeps the rest
  s.Seek(0, TSeekOrigin::soEnd);
  s.WriteString("!");
  EXPECT_EQ(s.DataString(), "abXYef!");
}

TEST(FileStream, CreateWriteReopenAndRead) {
  TempDir dir;
  const std::string name = dir.File("data.bin");
  {
    TFileStream f(name, fmCreate);
    f.WriteString("first line\r\nsecond");
    EXPECT_EQ(f.Size(), 18);
  }
  EXPECT_EQ(ReadFile(name), "first line\r\nsecond");
  {
    TFileStream f(name, fmOpenReadWrite | fmShareDenyWrite);
    f.Seek(-6, TSeekOrigin::soEnd);
    f.WriteString("SECOND");
    f.SetSize(10);
    EXPECT_EQ(f.Position(), 10);
  }
  TFileStream f(name, fmOpenRead);
  EXPECT_EQ(f.ReadRest(), "first line");
  char c;
  EXPECT_THROW(f.ReadBuffer(&c, 1), EReadError);
  TFileStream again(name, fmCreate);  // fmCreate empties an existing file
  EXPECT_EQ(again.Size(), 0);
}

TEST(FileStream, PositionsBeyondFourGigabytesAreKept) {
  TempDir dir;
  TFileStream f(dir.File("sparse.bin"), fmCreate);
  const std::int64_t far = (std::int64_t{1} << 32) + 7;
  EXPECT_EQ(f.Seek(far, TSeekOrigin::soBeginning), far);
  f.WriteString("x");
  EXPECT_EQ(f.Size(), far + 1);
  EXPECT_EQ(f.Position(), far + 1);
}

TEST(FileStream, OpenAndCreateFailuresNameTheFile) {
  TempDir dir;
  const std::string missing = dir.File("missing.txt");
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message.rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << e.Message;
  }
  EXPECT_THROW(TFileStream(dir.File("no/such/dir.txt"), fmCreate), EFCreateError);
  TMemoryStream m;
  EXPECT_THROW(m.LoadFromFile(missing), EFileStreamError);
}

TEST(FileStream, DirectoriesAndPipesAreRefusedNotReadOrWaitedFor) {
  TempDir dir;
  try {
    TFileStream f(dir.Path() + "/", fmOpenRead);
    FAIL() << "opened a directory";
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message.find("Is a directory"), std::string::npos) << e.Message;
  }
  const std::string fifo = dir.File("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THROW(TFileStream(fifo, fmOpenRead), EFOpenError);  // no writer: would block forever
  EXPECT_THROW(TFileStream(fifo, fmCreate), EFCreateError);
}

TEST(FileStream, MemoryStreamSavesAndLoadsFiles) {
  TempDir dir;
  TStringStream s(std::string("bin\0ary", 7));
  s.SaveToFile(dir.File("m.bin"));
  TMemoryStream back;
  back.WriteString("old contents that must go");
  back.LoadFromFile(dir.File("m.bin"));
  EXPECT_EQ(back.Bytes(), std::string("bin\0ary", 7));
  EXPECT_EQ(back.Position(), 0);
}

}  // namespace
}  // namespace lark
