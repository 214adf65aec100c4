#include "html/text_collector.h"

#include <utility>

#include "platform/core/code_page.h"
#include "platform/core/exception.h"

namespace lark {

namespace {

TClipboardWriter& ClipboardWriter() {
  static TClipboardWriter writer;
  return writer;
}

bool IsPlaceholder(char32_t c) { return c == 2 || c == 4; }

}  // namespace

template <typename Sink>
void SelTextCount::ForEachCharacter(std::string_view text, int codePage, Sink sink) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const DecodedChar ch = DecodeChar(text, pos, codePage);
    pos += ch.Length;
    if (IsPlaceholder(ch.CodePoint)) continue;
    if (!sink(ch.CodePoint, EncodeChar(ch.CodePoint, CP_UTF8))) return;
  }
}

void SelTextCount::AddText(std::string_view text, int codePage) {
  ForEachCharacter(text, codePage, [this](char32_t, const std::string& utf8) {
    leng_ += static_cast<int>(utf8.size());
    return true;
  });
}

int SelTextCount::Terminate() { return leng_; }

void AddTextCR(SelTextCount& collector, std::string_view text, int codePage) {
  collector.AddText(text, codePage);
  collector.AddText("\r\n", CP_UTF8);
}

SelTextBuf::SelTextBuf(char* buffer, int size) : Buffer(buffer), BufferLeng(size) {}

void SelTextBuf::AddText(std::string_view text, int codePage) {
  ForEachCharacter(text, codePage, [this](char32_t c, const std::string& utf8) {
    if (c == 8) return true;
    const int room = BufferLeng - 1 - leng_;
    if (static_cast<int>(utf8.size()) > room) return false;
    utf8.copy(Buffer + leng_, utf8.size());
    leng_ += static_cast<int>(utf8.size());
    return true;
  });
}

int SelTextBuf::Terminate() {
  if (BufferLeng > 0) Buffer[leng_] = '\0';
  return leng_ + 1;
}

void SetClipboardWriter(TClipboardWriter writer) { ClipboardWriter() = std::move(writer); }

ClipBuffer::ClipBuffer() : SelTextBuf(nullptr, kSize), storage_(kSize, '\0') { Buffer = storage_.data(); }

int ClipBuffer::Terminate() {
  const int result = SelTextBuf::Terminate();
  if (!ClipboardWriter()) throw EInvalidOperation("No clipboard is available");
  ClipboardWriter()(std::string(Buffer, static_cast<std::size_t>(leng_)));
  return result;
}

}  // namespace lark
