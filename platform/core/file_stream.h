#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "platform/core/stream.h"

namespace lark {

// Open modes of TFileStream: an access mode or fmCreate, combined with a
// sharing mode. Linux has no mandatory sharing locks, so the sharing modes
// are accepted and have no effect.
enum : std::uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

// A file on disk. fmCreate creates the file or empties an existing one and
// raises EFCreateError when it cannot; the other modes open an existing file
// and raise EFOpenError. The message names the file and the system's reason.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& file_name, std::uint16_t mode);
  ~TFileStream() override;

  // The whole of a file, or empty where there is none or it cannot be
  // read, without raising: for files that are often missing (settings,
  // lists). The first exception a process throws reads the unwind tables
  // of the program and its libraries, a tenth of the start.
  [[nodiscard]] static std::string ReadIfPresent(const std::string& file_name);

  [[nodiscard]] std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;

  [[nodiscard]] const std::string& FileName() const { return file_name_; }

 private:
  TFileStream(int fd, std::string file_name) : file_name_(std::move(file_name)), fd_(fd) {}

  std::string file_name_;
  int fd_ = -1;
};

}  // namespace lark
