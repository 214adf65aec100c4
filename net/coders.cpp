#include "net/coders.h"

#include <algorithm>

#include "net/net_exception.h"
#include "net/net_messages.h"
#include "net/net_strings.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

constexpr const char* kBase64Table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr const char* kXXTable = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
// Bytes per UU/XX data line: a multiple of three, as uuencode writes them.
constexpr size_t kUULineBytes = 45;

std::string UUTable() {
  std::string table = "`";
  for (char c = '!'; c <= '_'; ++c) table += c;
  return table;
}

template <typename Coder>
std::function<std::unique_ptr<TNetCoder>()> Maker() {
  return [] { return std::make_unique<Coder>(); };
}

bool StartsWithText(const std::string& line, const std::string& prefix) {
  return line.size() >= prefix.size() && SameText(line.substr(0, prefix.size()), prefix);
}

}  // namespace

const char* const MIMETypePrefixes[7] = {"application/", "audio/", "image/", "message/",
                                         "multipart/", "text/", "video/"};

// ---------------------------------------------------------------- TNetCoder

TNetCoder::TNetCoder() = default;

void TNetCoder::CodeBlock(const std::string& block) { OutputText(block); }

void TNetCoder::Completed() {
  if (pending_.empty()) return;
  std::string rest;
  rest.swap(pending_);
  CodeBlock(rest);
}

void TNetCoder::CodeString(const std::string& text) {
  pending_ += text;
  BytesIn += static_cast<std::int64_t>(text.size());
  size_t size = static_cast<size_t>(blockSize_);
  size_t done = 0;
  while (pending_.size() - done >= size) {
    CodeBlock(pending_.substr(done, size));
    done += size;
  }
  pending_.erase(0, done);
}

std::string TNetCoder::CodeStringAndComplete(const std::string& text) {
  CodeString(text);
  Completed();
  std::string result;
  for (int i = 0; i < Output.Count();) {
    const std::string& entry = Output.At(i);
    if (entry.compare(0, 2, "0;") == 0) {
      result += entry.substr(2);
      Output.Delete(i);
    } else {
      ++i;
    }
  }
  return result;
}

std::string TNetCoder::GetCodedData() {
  if (Output.Empty()) return {};
  std::string entry = Output.At(0);
  Output.Delete(0);
  return entry;
}

std::string TNetCoder::GetNotification() {
  for (int i = 0; i < Output.Count(); ++i) {
    if (Output.At(i).compare(0, 2, "0;") != 0) {
      std::string entry = Output.At(i);
      Output.Delete(i);
      return entry;
    }
  }
  return {};
}

void TNetCoder::Reset() {
  blockSize_ = 4096;
  BytesIn = 0;
  BytesOut = 0;
  pending_.clear();
  Output.Clear();
}

void TNetCoder::SetBlockSize(int size) { blockSize_ = std::max(size, 1); }

void TNetCoder::OutputText(const std::string& text) {
  std::string line = AddCRLF ? text + "\r\n" : text;
  BytesOut += static_cast<std::int64_t>(line.size());
  if (UseEvent) {
    if (OnCodedData) OnCodedData(*this, line);
  } else {
    Output.Add("0;" + line);
  }
}

void TNetCoder::OutputNotification(int code, const std::string& text) {
  if (UseEvent) {
    if (OnNotification) OnNotification(*this, code, text);
  } else {
    Output.Add(std::to_string(code) + ";" + text);
  }
}

// ----------------------------------------------------------- TNetASCIICoder

void TNetASCIICoder::SetCodingTable(const std::string& table) {
  table_ = table;
  std::fill(std::begin(lookup_), std::end(lookup_), -1);
  for (size_t i = 0; i < table.size() && i < 64; ++i) lookup_[static_cast<unsigned char>(table[i])] = static_cast<int>(i);
}

unsigned char TNetASCIICoder::ValueOf(char c) const {
  int value = lookup_[static_cast<unsigned char>(c)];
  if (value < 0) throw ENetTableNotFound(net_messages::RSTableNotFound);
  return static_cast<unsigned char>(value);
}

std::string TId3To4Coder::EncodeGroups(const std::string& bytes) const {
  const std::string& table = CodingTable();
  std::string out;
  out.reserve(bytes.size() / 3 * 4);
  for (size_t i = 0; i + 2 < bytes.size(); i += 3) {
    auto b1 = static_cast<unsigned char>(bytes[i]);
    auto b2 = static_cast<unsigned char>(bytes[i + 1]);
    auto b3 = static_cast<unsigned char>(bytes[i + 2]);
    out += table[b1 >> 2];
    out += table[((b1 << 4) & 63) | (b2 >> 4)];
    out += table[((b2 << 2) | (b3 >> 6)) & 63];
    out += table[b3 & 63];
  }
  return out;
}

std::string TId3To4Coder::DecodeGroups(const std::string& text) const {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i + 3 < text.size(); i += 4) {
    unsigned bits = (ValueOf(text[i]) << 18) | (ValueOf(text[i + 1]) << 12) | (ValueOf(text[i + 2]) << 6) |
                    ValueOf(text[i + 3]);
    out += static_cast<char>(bits >> 16);
    out += static_cast<char>((bits >> 8) & 0xFF);
    out += static_cast<char>(bits & 0xFF);
  }
  return out;
}

// ------------------------------------------------------------------ Base64

TNetBase64Encoder::TNetBase64Encoder() { SetCodingTable(kBase64Table); }

void TNetBase64Encoder::CodeBlock(const std::string& block) {
  // Whole groups now; a partial group waits for more input or completion.
  std::string data = carry_ + block;
  size_t whole = data.size() / 3 * 3;
  carry_ = data.substr(whole);
  if (whole > 0) OutputText(EncodeGroups(data.substr(0, whole)));
}

void TNetBase64Encoder::Completed() {
  TNetCoder::Completed();
  if (carry_.empty()) return;
  size_t fill = 3 - carry_.size();
  std::string coded = EncodeGroups(carry_ + std::string(fill, '\0'));
  coded.replace(4 - fill, fill, std::string(fill, '='));
  carry_.clear();
  OutputText(coded);
}

TNetBase64Decoder::TNetBase64Decoder() { SetCodingTable(kBase64Table); }

void TNetBase64Decoder::CodeBlock(const std::string& block) {
  std::string data = carry_;
  for (char c : block) {
    if (c != '\r' && c != '\n') data += c;
  }
  size_t whole = data.size() / 4 * 4;
  carry_ = data.substr(whole);
  if (whole == 0) return;
  std::string groups = data.substr(0, whole);
  // The "=" fill stands for zero bits; the bytes it made are dropped.
  size_t fill = groups.size() - (groups.find_last_not_of('=') + 1);
  if (fill > 2) throw ENetTableNotFound(net_messages::RSTableNotFound);
  std::replace(groups.end() - static_cast<long>(fill), groups.end(), '=', CodingTable()[0]);
  std::string bytes = DecodeGroups(groups);
  bytes.resize(bytes.size() - fill);
  OutputText(bytes);
}

void TNetBase64Decoder::Completed() {
  TNetCoder::Completed();
  // A final group that lost its fill is read as if it still had it.
  if (carry_.size() >= 2) {
    std::string rest = carry_ + std::string(4 - carry_.size(), '=');
    carry_.clear();
    CodeBlock(rest);
  }
  carry_.clear();
}

// ----------------------------------------------------------------- UU / XX

TNetUUEncoder::TNetUUEncoder() {
  SetCodingTable(UUTable());
  AddCRLF = true;
}

void TNetUUEncoder::Reset() {
  TId3To4Coder::Reset();
  carry_.clear();
  headerWritten_ = false;
}

void TNetUUEncoder::WriteHeader() {
  if (headerWritten_) return;
  headerWritten_ = true;
  if (WriteTable) {
    OutputText("TABLE");
    OutputText(CodingTable().substr(0, 32));
    OutputText(CodingTable().substr(32));
  }
  OutputText("BEGIN " + FileMode + " " + FileName);
}

void TNetUUEncoder::CodeBlock(const std::string& block) {
  WriteHeader();
  carry_ += block;
  size_t done = 0;
  for (; carry_.size() - done >= kUULineBytes; done += kUULineBytes) {
    OutputText(CodingTable()[kUULineBytes] + EncodeGroups(carry_.substr(done, kUULineBytes)));
  }
  carry_.erase(0, done);
}

void TNetUUEncoder::Completed() {
  TNetCoder::Completed();
  WriteHeader();
  if (!carry_.empty()) {
    std::string padded = carry_ + std::string((3 - carry_.size() % 3) % 3, '\0');
    OutputText(CodingTable()[carry_.size()] + EncodeGroups(padded));
    carry_.clear();
  }
  OutputText(std::string(1, CodingTable()[0]));
  OutputText("END");
}

TNetUUDecoder::TNetUUDecoder() { SetCodingTable(UUTable()); }

void TNetUUDecoder::Reset() {
  TId3To4Coder::Reset();
  carry_.clear();
  state_ = State::Header;
}

void TNetUUDecoder::CodeBlock(const std::string& block) {
  carry_ += block;
  size_t start = 0;
  for (size_t end; (end = carry_.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = carry_.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    DecodeLine(line);
  }
  carry_.erase(0, start);
}

void TNetUUDecoder::Completed() {
  TNetCoder::Completed();
  if (!carry_.empty()) {
    std::string line;
    line.swap(carry_);
    DecodeLine(line);
  }
  if (state_ != State::Done) OutputNotification(45, " Data ended without an END statment");
}

void TNetUUDecoder::DecodeLine(const std::string& line) {
  switch (state_) {
    case State::Header:
    case State::AfterTable:
      if (state_ == State::Header && SameText(line, "TABLE")) {
        state_ = State::TableFirst;
      } else if (StartsWithText(line, "BEGIN ")) {
        std::string rest = line.substr(6);
        std::string mode = Fetch(rest, " ");
        if (mode.size() > 3) {
          OutputNotification(42, "Too many chars for three-digit Privilege");
        } else if (mode.size() < 3) {
          OutputNotification(43, "Not enough chars for three-digit Privilege");
        } else if (!std::all_of(mode.begin(), mode.end(), IsNumeric)) {
          OutputNotification(44, "Privilege chars not numeric");
        }
        FileName = rest;
        OutputNotification(5, rest);
        state_ = State::Data;
      } else if (state_ == State::AfterTable) {
        OutputNotification(41, "No BEGIN statement followed a TABLE");
        state_ = State::Header;
      }
      return;
    case State::TableFirst:
      pendingTable_ = line;
      state_ = State::TableSecond;
      return;
    case State::TableSecond:
      if (pendingTable_.size() + line.size() == 64) SetCodingTable(pendingTable_ + line);
      state_ = State::AfterTable;
      return;
    case State::Data:
      if (SameText(line, "END")) {
        state_ = State::Done;
      } else if (!line.empty()) {
        size_t count = ValueOf(line[0]);
        size_t chars = (count + 2) / 3 * 4;
        std::string groups = line.substr(1, chars);
        groups.resize(chars, CodingTable()[0]);
        std::string bytes = DecodeGroups(groups);
        bytes.resize(count);
        OutputText(bytes);
      }
      return;
    case State::Done:
      return;
  }
}

TNetXXEncoder::TNetXXEncoder() { SetCodingTable(kXXTable); }
TNetXXDecoder::TNetXXDecoder() { SetCodingTable(kXXTable); }

// ------------------------------------------------------------ registration

const std::vector<TNetCoderItem>& RegisteredCoders() {
  static const std::vector<TNetCoderItem> coders = {
      {Maker<TNetCoder>(), 0, 0, "application/octet-stream", "application/octet-stream"},
      {Maker<TNetCoder>(), 128, 0, "application/octet-stream", "application/octet-stream"},
      {Maker<TNetBase64Encoder>(), 0, 8, "base64", "application/octet-stream"},
      {Maker<TNetBase64Decoder>(), 128, 8, "base64", "application/octet-stream"},
      {Maker<TNetUUEncoder>(), 0, 8, "x-uu", "application/octet-stream"},
      {Maker<TNetUUDecoder>(), 128, 8, "x-uu", "application/octet-stream"},
      {Maker<TNetXXEncoder>(), 0, 8, "x-xx", "application/octet-stream"},
      {Maker<TNetXXDecoder>(), 128, 8, "x-xx", "application/octet-stream"},
  };
  return coders;
}

std::unique_ptr<TNetCoder> CreateCoder(const std::string& mimeName, int direction) {
  for (const TNetCoderItem& item : RegisteredCoders()) {
    if (item.Direction == direction && SameText(item.MIMEName, mimeName)) return item.Create();
  }
  return nullptr;
}

std::string Base64Encode(const std::string& text) {
  TNetBase64Encoder encoder;
  return encoder.CodeStringAndComplete(text);
}

std::string Base64Decode(const std::string& text) {
  TNetBase64Decoder decoder;
  return decoder.CodeStringAndComplete(text);
}

}  // namespace lark
