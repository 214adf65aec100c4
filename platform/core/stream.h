#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lark {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// A sequence of bytes with a current position. Sizes and positions are 64-bit.
// Read and Write move as many bytes as they can and report how many;
// ReadBuffer and WriteBuffer insist on the whole count and raise otherwise.
class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  [[nodiscard]] virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Returns the new position.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual void SetSize(std::int64_t size) = 0;
  [[nodiscard]] virtual std::int64_t Size();

  [[nodiscard]] std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

  // Raise EReadError "Stream read error" / EWriteError "Stream write error"
  // when fewer than count bytes move.
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  void WriteString(std::string_view bytes) { WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size())); }
  // Everything from the position to the end.
  [[nodiscard]] std::string ReadRest();

  // Copies count bytes from source's position; count 0 copies the whole of
  // source from its start. Returns the bytes copied; raises like ReadBuffer.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// The bytes in memory. The position may lie beyond the end: a read there
// gives nothing and a write fills the gap with zero bytes.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;

  [[nodiscard]] std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;
  [[nodiscard]] std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }

  // The bytes themselves, valid until the next size change.
  [[nodiscard]] void* Memory() { return data_.data(); }
  [[nodiscard]] const void* Memory() const { return data_.data(); }
  [[nodiscard]] std::string_view Bytes() const { return data_; }

  // Empties the stream and sets the position to 0.
  void Clear();
  // Makes room for capacity bytes without changing the size, so that writes
  // up to it never move the bytes to a larger buffer (which, for a moment,
  // holds them twice). Memory the writes do not reach is never touched. A
  // request the system cannot meet is ignored: the stream then grows as usual.
  void Reserve(std::int64_t capacity);
  // Replace the contents by the whole of the stream or file; position 0.
  void LoadFromStream(TStream& source);
  void LoadFromFile(const std::string& file_name);
  void SaveToStream(TStream& dest);
  void SaveToFile(const std::string& file_name);

 protected:
  std::string data_;

 private:
  std::int64_t position_ = 0;
};

// A memory stream whose bytes are also a string.
class TStringStream : public TMemoryStream {
 public:
  explicit TStringStream(std::string_view data = {});
  [[nodiscard]] const std::string& DataString() const { return data_; }
};

}  // namespace lark
