#include "platform/core/stream.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "platform/core/exception.h"
#include "platform/core/file_stream.h"

namespace lark {

std::int64_t TStream::Size() {
  const std::int64_t position = Position();
  const std::int64_t size = Seek(0, TSeekOrigin::soEnd);
  SetPosition(position);
  return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::string TStream::ReadRest() {
  const std::int64_t rest = std::max<std::int64_t>(0, Size() - Position());
  std::string bytes;
  try {
    bytes.resize(static_cast<std::size_t>(rest));
  } catch (const std::exception&) {  // bad_alloc or length_error
    throw EOutOfMemory("Out of memory");
  }
  ReadBuffer(bytes.data(), rest);
  return bytes;
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  constexpr std::int64_t kBlock = 64 * 1024;
  std::string block(static_cast<std::size_t>(std::min(count, kBlock)), '\0');
  for (std::int64_t left = count; left > 0;) {
    const std::int64_t n = std::min(left, kBlock);
    source.ReadBuffer(block.data(), n);
    WriteBuffer(block.data(), n);
    left -= n;
  }
  return count;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  const std::int64_t available = Size() - position_;
  if (count <= 0 || available <= 0 || position_ < 0) return 0;
  const std::int64_t n = std::min(count, available);
  std::memcpy(buffer, data_.data() + position_, static_cast<std::size_t>(n));
  position_ += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (count <= 0 || position_ < 0) return 0;
  const std::int64_t end = position_ + count;
  if (end > Size()) SetSize(end);
  std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
  position_ = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case TSeekOrigin::soBeginning: position_ = offset; break;
    case TSeekOrigin::soCurrent: position_ += offset; break;
    case TSeekOrigin::soEnd: position_ = Size() + offset; break;
  }
  return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
  if (size < 0) size = 0;
  try {
    data_.resize(static_cast<std::size_t>(size));
  } catch (const std::exception&) {  // bad_alloc or length_error
    throw EOutOfMemory("Out of memory while expanding memory stream");
  }
  position_ = std::min(position_, size);
}

void TMemoryStream::Reserve(std::int64_t capacity) {
  if (capacity <= static_cast<std::int64_t>(data_.capacity())) return;
  try {
    data_.reserve(static_cast<std::size_t>(capacity));
  } catch (const std::exception&) {  // bad_alloc or length_error: only a hint
  }
}

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const std::int64_t size = source.Size();
  SetSize(size);
  position_ = 0;
  source.ReadBuffer(data_.data(), size);
}

void TMemoryStream::LoadFromFile(const std::string& file_name) {
  TFileStream file(file_name, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& dest) { dest.WriteBuffer(data_.data(), Size()); }

void TMemoryStream::SaveToFile(const std::string& file_name) {
  TFileStream file(file_name, fmCreate);
  SaveToStream(file);
}

TStringStream::TStringStream(std::string_view data) { WriteString(data); SetPosition(0); }

}  // namespace lark
