#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/exception.h"
#include "platform/core/stream.h"

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

// zlib's stream record stays out of this header.
struct ZStreamState;

// Reports the position in the underlying data after each buffer of work.
using TZProgressEvent = std::function<void(int64_t position)>;

// Deflates what is written into `Dest`, a buffer at a time; the rest of the
// zlib stream is written when the object is destroyed (or on Finish).
class TZCompressionStream : public TStream {
 public:
  TZCompressionStream(TCompressionLevel level, TStream& dest);
  ~TZCompressionStream() override;

  int64_t Write(const void* buffer, int64_t count) override;
  [[nodiscard]] int64_t Read(void* buffer, int64_t count) override;  // raises: write-only
  // Answers only Seek(0, soCurrent): the count of bytes taken so far.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;  // raises
  // Ends the zlib stream and writes what is left; later writes are refused.
  void Finish();

  TZProgressEvent OnProgress;

 private:
  void Deflate(int flush);

  TStream& Dest_;
  std::unique_ptr<ZStreamState> Z_;
  bool Finished_ = false;
};

// Inflates a zlib stream held in memory (the decoders have the whole file),
// reading it in place. Reading stops at the end of the zlib stream, and when
// the data runs out a read returns only what it has.
class TZDecompressionStream : public TStream {
 public:
  TZDecompressionStream(const uint8_t* source, size_t size);
  ~TZDecompressionStream() override;

  [[nodiscard]] int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;  // raises: read-only
  // Seek(0, soBeginning) starts over; forward seeks read and drop data.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;  // raises
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
