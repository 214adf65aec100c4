#include "images/zlib_stream.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

namespace lark {

namespace {

constexpr size_t kBufferSize = 65536;
const char kInvalidOperation[] = "Invalid ZStream operation!";

int ZLevel(TCompressionLevel level) {
  switch (level) {
    case TCompressionLevel::clNone: return 0;
    case TCompressionLevel::clFastest: return 1;
    case TCompressionLevel::clDefault: return Z_DEFAULT_COMPRESSION;
    case TCompressionLevel::clMax: return 9;
  }
  return Z_DEFAULT_COMPRESSION;
}

// zlib's counters are 32-bit: inputs are fed in slices no larger than this.
constexpr size_t kMaxSlice = std::numeric_limits<uInt>::max();

}  // namespace

struct ZStreamState {
  z_stream Z{};
  std::vector<uint8_t> Buffer;
};

TZCompressionStream::TZCompressionStream(TCompressionLevel level, TStream& dest)
    : Dest_(dest), Z_(std::make_unique<ZStreamState>()) {
  Z_->Buffer.resize(kBufferSize);
  const int code = deflateInit(&Z_->Z, ZLevel(level));
  if (code != Z_OK) throw EZCompressionError(zError(code));
  Z_->Z.next_out = Z_->Buffer.data();
  Z_->Z.avail_out = kBufferSize;
}

TZCompressionStream::~TZCompressionStream() {
  try {
    Finish();
  } catch (const EZLibError&) {
    // A destructor cannot report; Finish is there for callers who care.
  }
  deflateEnd(&Z_->Z);
}

void TZCompressionStream::Deflate(int flush) {
  for (;;) {
    const int code = deflate(&Z_->Z, flush);
    if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR)
      throw EZCompressionError(zError(code));
    if (Z_->Z.avail_out == 0 || code == Z_STREAM_END) {
      Dest_.WriteBuffer(Z_->Buffer.data(), static_cast<int64_t>(kBufferSize - Z_->Z.avail_out));
      Z_->Z.next_out = Z_->Buffer.data();
      Z_->Z.avail_out = kBufferSize;
      if (OnProgress) OnProgress(static_cast<int64_t>(Z_->Z.total_in));
    }
    if (code == Z_STREAM_END) return;
    if (flush == Z_NO_FLUSH && Z_->Z.avail_in == 0) return;
    if (flush == Z_FINISH && code == Z_BUF_ERROR && Z_->Z.avail_out != 0)
      throw EZCompressionError(zError(code));
  }
}

int64_t TZCompressionStream::Write(const void* buffer, int64_t count) {
  if (Finished_) throw EZCompressionError(kInvalidOperation);
  auto* bytes = static_cast<const uint8_t*>(buffer);
  for (int64_t left = count; left > 0;) {
    const size_t slice = std::min<size_t>(left, kMaxSlice);
    Z_->Z.next_in = const_cast<uint8_t*>(bytes);
    Z_->Z.avail_in = static_cast<uInt>(slice);
    Deflate(Z_NO_FLUSH);
    bytes += slice;
    left -= slice;
  }
  return count;
}

int64_t TZCompressionStream::Read(void*, int64_t) { throw EZCompressionError(kInvalidOperation); }

void TZCompressionStream::SetSize(int64_t) { throw EZCompressionError(kInvalidOperation); }

int64_t TZCompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset == 0 && origin == TSeekOrigin::soCurrent) return static_cast<int64_t>(Z_->Z.total_in);
  throw EZCompressionError(kInvalidOperation);
}

void TZCompressionStream::Finish() {
  if (Finished_) return;
  Finished_ = true;
  Z_->Z.next_in = nullptr;
  Z_->Z.avail_in = 0;
  Deflate(Z_FINISH);
}

TZDecompressionStream::TZDecompressionStream(const uint8_t* source, size_t size)
    : Source_(source), Size_(size), Z_(std::make_unique<ZStreamState>()) {
  const int code = inflateInit(&Z_->Z);
  if (code != Z_OK) throw EZDecompressionError(zError(code));
  Reset();
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&Z_->Z); }

void TZDecompressionStream::Reset() {
  inflateReset(&Z_->Z);
  // The whole source is in memory: inflate reads it in place.
  Z_->Z.next_in = const_cast<uint8_t*>(Source_);
  Z_->Z.avail_in = static_cast<uInt>(std::min(Size_, kMaxSlice));
  Position_ = 0;
  Ended_ = false;
}

int64_t TZDecompressionStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count && !Ended_) {
    const size_t consumed = Z_->Z.next_in - Source_;
    if (Z_->Z.avail_in == 0 && consumed < Size_)
      Z_->Z.avail_in = static_cast<uInt>(std::min(Size_ - consumed, kMaxSlice));
    const uInt want = static_cast<uInt>(std::min<int64_t>(count - done, kMaxSlice));
    Z_->Z.next_out = out + done;
    Z_->Z.avail_out = want;
    const int code = inflate(&Z_->Z, Z_NO_FLUSH);
    const uInt produced = want - Z_->Z.avail_out;
    done += produced;
    if (code == Z_STREAM_END) {
      Ended_ = true;
    } else if (code == Z_BUF_ERROR || (code == Z_OK && produced == 0 && Z_->Z.avail_in == 0)) {
      break;  // the data ran out, or inflate can make no more progress
    } else if (code != Z_OK) {
      throw EZDecompressionError(Z_->Z.msg ? Z_->Z.msg : zError(code));
    }
  }
  Position_ += done;
  if (OnProgress && done > 0) OnProgress(Position_);
  return done;
}

int64_t TZDecompressionStream::Write(const void*, int64_t) { throw EZDecompressionError(kInvalidOperation); }

void TZDecompressionStream::SetSize(int64_t) { throw EZDecompressionError(kInvalidOperation); }

int64_t TZDecompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset == 0 && origin == TSeekOrigin::soBeginning) {
    Reset();
    return 0;
  }
  int64_t target = -1;
  if (origin == TSeekOrigin::soCurrent && offset >= 0) target = Position_ + offset;
  if (origin == TSeekOrigin::soBeginning && offset >= Position_) target = offset;
  if (target < 0) throw EZDecompressionError(kInvalidOperation);
  uint8_t scratch[4096];
  while (Position_ < target) {
    if (Read(scratch, std::min<int64_t>(sizeof scratch, target - Position_)) == 0) break;
  }
  return Position_;
}

}  // namespace lark
