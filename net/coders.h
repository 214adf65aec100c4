#pragma once

// Streaming text coders (Base64, UU, XX), registered by MIME-style name, and
// the MIME type prefixes.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/string_list.h"

namespace lark {

// Output entries are "<code>;<text>": code 0 for coded text, other codes for
// the notifications of a decoder.
class TNetCoder {
 public:
  TNetCoder();
  virtual ~TNetCoder() = default;
  TNetCoder(const TNetCoder&) = delete;
  TNetCoder& operator=(const TNetCoder&) = delete;

  virtual void CodeBlock(const std::string& block);
  // Codes what is left of the input.
  virtual void Completed();
  void CodeString(const std::string& text);
  virtual std::string CodeStringAndComplete(const std::string& text);
  // The next output entry, removed from the output (empty when none).
  virtual std::string GetCodedData();
  // The next entry that is not coded text, removed (empty when none).
  virtual std::string GetNotification();
  virtual void Reset();
  virtual void SetFileName(const std::string& fileName) { FileName = fileName; }
  virtual void SetBlockSize(int size);
  [[nodiscard]] int BlockSize() const { return blockSize_; }

  bool AddCRLF = false;
  bool UseEvent = false;
  std::int64_t BytesIn = 0;
  std::int64_t BytesOut = 0;
  std::string FileName;
  TStringList Output;
  std::function<void(TNetCoder&, const std::string& text)> OnCodedData;
  std::function<void(TNetCoder&, int code, const std::string& text)> OnNotification;

 protected:
  void OutputText(const std::string& text);
  void OutputNotification(int code, const std::string& text);
  std::string pending_;  // bytes taken in but not yet coded

 private:
  int blockSize_ = 4096;
};

// A coder with a 64-character table: a character's position is its value.
class TNetASCIICoder : public TNetCoder {
 public:
  void SetCodingTable(const std::string& table);
  [[nodiscard]] const std::string& CodingTable() const { return table_; }

 protected:
  // Raises ENetTableNotFound for a character not in the table.
  [[nodiscard]] unsigned char ValueOf(char c) const;

 private:
  std::string table_;
  int lookup_[256] = {};
};

// Three bytes to four table characters and back.
class TId3To4Coder : public TNetASCIICoder {
 protected:
  [[nodiscard]] std::string EncodeGroups(const std::string& bytes) const;
  [[nodiscard]] std::string DecodeGroups(const std::string& text) const;

  std::string carry_;  // input that does not yet make a whole group or line
};

class TNetBase64Encoder : public TId3To4Coder {
 public:
  TNetBase64Encoder();
  void CodeBlock(const std::string& block) override;
  void Completed() override;
};

class TNetBase64Decoder : public TId3To4Coder {
 public:
  TNetBase64Decoder();
  void CodeBlock(const std::string& block) override;
  void Completed() override;
};

class TNetUUEncoder : public TId3To4Coder {
 public:
  TNetUUEncoder();
  void CodeBlock(const std::string& block) override;
  void Completed() override;
  void Reset() override;

  std::string FileMode = "644";
  bool WriteTable = false;

 private:
  void WriteHeader();
  bool headerWritten_ = false;
};

class TNetUUDecoder : public TId3To4Coder {
 public:
  TNetUUDecoder();
  void CodeBlock(const std::string& block) override;
  void Completed() override;
  void Reset() override;

 private:
  enum class State { Header, TableFirst, TableSecond, AfterTable, Data, Done };
  void DecodeLine(const std::string& line);
  State state_ = State::Header;
  std::string pendingTable_;
};

class TNetXXEncoder : public TNetUUEncoder {
 public:
  TNetXXEncoder();
};

class TNetXXDecoder : public TNetUUDecoder {
 public:
  TNetXXDecoder();
};

// One registered coder: how to make it, its direction (0 encoder, 128
// decoder), its flag byte, MIME name and content type.
struct TNetCoderItem {
  std::function<std::unique_ptr<TNetCoder>()> Create;
  int Direction = 0;
  int Flag = 0;
  std::string MIMEName;
  std::string ContentType;
};

// The coders registered at start: the base for "application/octet-stream",
// then "base64", "x-uu" and "x-xx", each as encoder and decoder.
[[nodiscard]] const std::vector<TNetCoderItem>& RegisteredCoders();
// The registered coder of a MIME name and direction; null when there is none.
[[nodiscard]] std::unique_ptr<TNetCoder> CreateCoder(const std::string& mimeName, int direction);

extern const char* const MIMETypePrefixes[7];

[[nodiscard]] std::string Base64Encode(const std::string& text);
// Raises ENetTableNotFound for a character outside the alphabet.
[[nodiscard]] std::string Base64Decode(const std::string& text);

}  // namespace lark
