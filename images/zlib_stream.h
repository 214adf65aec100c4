#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/exception.h"

namespace lark {

class EZLibError : public Exception {
 public:
  using Exception::Exception;
};
class EZCompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};
class EZDecompressionError : public EZLibError {
 public:
  using EZLibError::EZLibError;
};

enum class TCompressionLevel { clNone, clFastest, clDefault, clMax };

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// zlib's stream record stays out of this header.
struct ZStreamState;

// Reports the position in the underlying data after each buffer of work.
using TZProgressEvent = std::function<void(int64_t position)>;

// Deflates what is written into `Dest`, a buffer at a time; the rest of the
// zlib stream is written when the object is destroyed (or on Finish).
class TZCompressionStream {
 public:
  TZCompressionStream(TCompressionLevel level, std::vector<uint8_t>& dest);
  ~TZCompressionStream();
  TZCompressionStream(const TZCompressionStream&) = delete;
  TZCompressionStream& operator=(const TZCompressionStream&) = delete;

  int64_t Write(const void* buffer, int64_t count);
  int64_t Read(void* buffer, int64_t count);  // raises: write-only
  // Answers only Seek(0, soCurrent): the count of bytes taken so far.
  int64_t Seek(int64_t offset, TSeekOrigin origin);
  // Ends the zlib stream and writes what is left; later writes are refused.
  void Finish();

  TZProgressEvent OnProgress;

 private:
  void Deflate(int flush);

  std::vector<uint8_t>& Dest_;
  std::unique_ptr<ZStreamState> Z_;
  bool Finished_ = false;
};

// Inflates a zlib stream held in memory. Reading stops at the end of the zlib
// stream, and when the data runs out a read returns only what it has.
class TZDecompressionStream {
 public:
  TZDecompressionStream(const uint8_t* source, size_t size);
  ~TZDecompressionStream();
  TZDecompressionStream(const TZDecompressionStream&) = delete;
  TZDecompressionStream& operator=(const TZDecompressionStream&) = delete;

  [[nodiscard]] int64_t Read(void* buffer, int64_t count);
  int64_t Write(const void* buffer, int64_t count);  // raises: read-only
  // Seek(0, soBeginning) starts over; forward seeks read and drop data.
  int64_t Seek(int64_t offset, TSeekOrigin origin);
  // True once the zlib stream's end has been read.
  [[nodiscard]] bool AtEnd() const { return Ended_; }

  TZProgressEvent OnProgress;

 private:
  void Reset();

  const uint8_t* Source_;
  size_t Size_;
  std::unique_ptr<ZStreamState> Z_;
  int64_t Position_ = 0;
  bool Ended_ = false;
};

}  // namespace lark
