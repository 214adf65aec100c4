#include "platform/core/code_page.h"

#include <iconv.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

namespace lark {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char kUnrepresentable[] = "?";

// Windows-1252 in 0x80..0x9F, where it differs from Latin-1. The five bytes
// that 1252 leaves undefined decode to U+FFFD.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char32_t Windows1252(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kWindows1252High[byte - 0x80];
  return byte;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the valid UTF-8 sequence at `pos`, or 0 when there is none
// (overlong forms, surrogates and values above U+10FFFF are not valid).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos, char32_t& codePoint) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned char lead = byte(0);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() - pos < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(byte(i))) return 0;
    codePoint = (codePoint << 6) | (byte(i) & 0x3F);
  }
  return length;
}

DecodedChar DecodeUtf8(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) return {1, lead};
  char32_t codePoint = 0;
  if (const std::size_t length = Utf8SequenceLength(text, pos, codePoint)) return {length, codePoint};
  return {1, Windows1252(lead)};
}

std::string EncodeUtf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

bool IsEncodable(char32_t c) { return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

// An iconv conversion descriptor, closed with its owner.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  [[nodiscard]] bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of `in`, flushing any state; false when iconv refuses it.
  bool Convert(const char* in, std::size_t inLength, char* out, std::size_t& outLength) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in);
    char* outPtr = out;
    std::size_t outLeft = outLength;
    if (iconv(cd_, &inPtr, &inLength, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        inLength != 0)
      return false;
    if (iconv(cd_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return false;
    outLength -= outLeft;
    return true;
  }

 private:
  iconv_t cd_;
};

// Decodes bytes that should form exactly one character; U+FFFD otherwise.
char32_t DecodeOne(Iconv& toUtf32, const char* bytes, std::size_t length) {
  char32_t out[2];
  std::size_t outLength = sizeof out;
  if (!toUtf32.Convert(bytes, length, reinterpret_cast<char*>(out), outLength) ||
      outLength != sizeof(char32_t))
    return kReplacement;
  return out[0];
}

struct CodePageInfo {
  int Number;
  const char* IconvName;
  // Double-byte code pages: which bytes lead and which may follow a lead.
  bool (*IsLead)(unsigned char);
  bool (*IsTrail)(unsigned char);
};

bool InRange(unsigned char b, unsigned lo, unsigned hi) { return b >= lo && b <= hi; }

const std::array<CodePageInfo, 33> kCodePages = {{
    {437, "CP437", nullptr, nullptr},
    {874, "CP874", nullptr, nullptr},
    {932, "CP932", [](unsigned char b) { return InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, 0xFC); },
     [](unsigned char b) { return InRange(b, 0x40, 0x7E) || InRange(b, 0x80, 0xFC); }},
    {936, "CP936", [](unsigned char b) { return InRange(b, 0x81, 0xFE); },
     [](unsigned char b) { return InRange(b, 0x40, 0x7E) || InRange(b, 0x80, 0xFE); }},
    {949, "CP949", [](unsigned char b) { return InRange(b, 0x81, 0xFE); },
     [](unsigned char b) {
       return InRange(b, 0x41, 0x5A) || InRange(b, 0x61, 0x7A) || InRange(b, 0x81, 0xFE);
     }},
    {950, "CP950", [](unsigned char b) { return InRange(b, 0x81, 0xFE); },
     [](unsigned char b) { return InRange(b, 0x40, 0x7E) || InRange(b, 0xA1, 0xFE); }},
    {1250, "CP1250", nullptr, nullptr},
    {1251, "CP1251", nullptr, nullptr},
    {1252, "CP1252", nullptr, nullptr},
    {1253, "CP1253", nullptr, nullptr},
    {1254, "CP1254", nullptr, nullptr},
    {1255, "CP1255", nullptr, nullptr},
    {1256, "CP1256", nullptr, nullptr},
    {1257, "CP1257", nullptr, nullptr},
    {1258, "CP1258", nullptr, nullptr},
    {1361, "JOHAB",
     [](unsigned char b) { return InRange(b, 0x84, 0xD3) || InRange(b, 0xD8, 0xDE) || InRange(b, 0xE0, 0xF9); },
     [](unsigned char b) { return InRange(b, 0x31, 0x7E) || InRange(b, 0x81, 0xFE); }},
    {10000, "MACINTOSH", nullptr, nullptr},
    {CP_KOI8_R, "KOI8-R", nullptr, nullptr},
    {CP_KOI8_U, "KOI8-U", nullptr, nullptr},
    {CodePageOfIso8859(2), "ISO-8859-2", nullptr, nullptr},
    {CodePageOfIso8859(3), "ISO-8859-3", nullptr, nullptr},
    {CodePageOfIso8859(4), "ISO-8859-4", nullptr, nullptr},
    {CodePageOfIso8859(5), "ISO-8859-5", nullptr, nullptr},
    {CodePageOfIso8859(6), "ISO-8859-6", nullptr, nullptr},
    {CodePageOfIso8859(7), "ISO-8859-7", nullptr, nullptr},
    {CodePageOfIso8859(8), "ISO-8859-8", nullptr, nullptr},
    {CodePageOfIso8859(9), "ISO-8859-9", nullptr, nullptr},
    {CodePageOfIso8859(10), "ISO-8859-10", nullptr, nullptr},
    {CodePageOfIso8859(11), "ISO-8859-11", nullptr, nullptr},
    {CodePageOfIso8859(13), "ISO-8859-13", nullptr, nullptr},
    {CodePageOfIso8859(14), "ISO-8859-14", nullptr, nullptr},
    {CodePageOfIso8859(15), "ISO-8859-15", nullptr, nullptr},
    {CodePageOfIso8859(16), "ISO-8859-16", nullptr, nullptr},
}};

const CodePageInfo* FindInfo(int codePage) {
  for (const CodePageInfo& info : kCodePages)
    if (info.Number == codePage) return &info;
  return nullptr;
}

// Decoding tables of one code page, built whole on first use and never
// changed afterwards, so readers need no lock.
class CodePageTable {
 public:
  explicit CodePageTable(const CodePageInfo& info) : info_(info) {
    Iconv toUtf32("UTF-32LE", info.IconvName);
    for (unsigned b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      single_[b] = toUtf32.ok() ? DecodeOne(toUtf32, &byte, 1) : (b < 0x80 ? b : kReplacement);
      if (!IsDoubleByte() || !info.IsLead(static_cast<unsigned char>(b))) continue;
      auto row = std::make_unique<std::array<char32_t, 256>>();
      for (unsigned t = 0; t < 256; ++t) {
        const char pair[2] = {byte, static_cast<char>(t)};
        (*row)[t] = toUtf32.ok() && info.IsTrail(static_cast<unsigned char>(t))
                        ? DecodeOne(toUtf32, pair, 2)
                        : kReplacement;
      }
      double_[b] = std::move(row);
    }
  }

  [[nodiscard]] bool IsDoubleByte() const { return info_.IsLead != nullptr; }

  DecodedChar Decode(std::string_view text, std::size_t pos) const {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (!double_[lead]) return {1, single_[lead]};
    if (pos + 1 >= text.size()) return {1, kReplacement};
    const auto trail = static_cast<unsigned char>(text[pos + 1]);
    if (!info_.IsTrail(trail)) return {1, kReplacement};
    return {2, (*double_[lead])[trail]};
  }

  std::string Encode(char32_t c) const {
    if (IsDoubleByte()) return EncodeThroughIconv(c);
    for (unsigned b = 0; b < 256; ++b)
      if (single_[b] == c) return std::string(1, static_cast<char>(b));
    return kUnrepresentable;
  }

 private:
  std::string EncodeThroughIconv(char32_t c) const {
    Iconv fromUtf32(info_.IconvName, "UTF-32LE");
    char out[16];
    std::size_t outLength = sizeof out;
    if (!fromUtf32.ok() ||
        !fromUtf32.Convert(reinterpret_cast<const char*>(&c), sizeof c, out, outLength) ||
        outLength == 0)
      return kUnrepresentable;
    return std::string(out, outLength);
  }

  const CodePageInfo& info_;
  std::array<char32_t, 256> single_{};
  std::array<std::unique_ptr<std::array<char32_t, 256>>, 256> double_;
};

// Tables by position in kCodePages; built once under the lock, then read
// through an atomic pointer without it.
const CodePageTable* TableFor(int codePage) {
  static std::array<std::atomic<const CodePageTable*>, kCodePages.size()> tables{};
  static std::mutex buildLock;
  const CodePageInfo* info = FindInfo(codePage);
  if (!info) return nullptr;
  auto& slot = tables[static_cast<std::size_t>(info - kCodePages.data())];
  if (const CodePageTable* table = slot.load(std::memory_order_acquire)) return table;
  std::lock_guard<std::mutex> lock(buildLock);
  if (const CodePageTable* table = slot.load(std::memory_order_relaxed)) return table;
  // Tables live as long as the program: they are shared by every run of text.
  const auto* table = new CodePageTable(*info);
  slot.store(table, std::memory_order_release);
  return table;
}

}  // namespace

int SystemCodePage() { return CP_UTF8; }

int ResolveCodePage(int codePage) {
  switch (codePage) {
    case CP_ACP: return SystemCodePage();
    case CP_UTF8: return CP_UTF8;  // the common case, without a table search
    case CP_OEMCP: return 437;
    case CP_MACCP: return 10000;
    // Pages that name Latin-1 mean Windows-1252, as every browser reads them.
    case CP_ISO_8859_1: return 1252;
    default: return FindInfo(codePage) ? codePage : SystemCodePage();
  }
}

bool IsDoubleByteCodePage(int codePage) {
  const CodePageInfo* info = FindInfo(codePage);
  return info && info->IsLead;
}

namespace {

// DecodeChar for a code page already resolved, so that whole runs resolve once.
DecodedChar DecodeResolved(std::string_view text, std::size_t pos, int resolved) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  if (resolved == CP_UTF8) return DecodeUtf8(text, pos);
  // Every code page here but Johab keeps ASCII as it is.
  if (byte < 0x80 && resolved != 1361) return {1, byte};
  return TableFor(resolved)->Decode(text, pos);
}

}  // namespace

DecodedChar DecodeChar(std::string_view text, std::size_t pos, int codePage) {
  if (pos >= text.size()) return {};
  return DecodeResolved(text, pos, ResolveCodePage(codePage));
}

std::u32string DecodeToUtf32(std::string_view text, int codePage, std::vector<std::size_t>* starts) {
  std::u32string out;
  out.reserve(text.size());
  if (starts) starts->clear();
  const int resolved = ResolveCodePage(codePage);
  for (std::size_t pos = 0; pos < text.size();) {
    const DecodedChar c = DecodeResolved(text, pos, resolved);
    if (starts) starts->push_back(pos);
    out += c.CodePoint;
    pos += c.Length;
  }
  return out;
}

std::u16string DecodeToUtf16(std::string_view text, int codePage) {
  std::u16string out;
  out.reserve(text.size());
  const int resolved = ResolveCodePage(codePage);
  for (std::size_t pos = 0; pos < text.size();) {
    const DecodedChar c = DecodeResolved(text, pos, resolved);
    if (c.CodePoint >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c.CodePoint - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c.CodePoint - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c.CodePoint);
    }
    pos += c.Length;
  }
  return out;
}

std::string EncodeChar(char32_t codePoint, int codePage) {
  if (!IsEncodable(codePoint)) return kUnrepresentable;
  const int resolved = ResolveCodePage(codePage);
  if (resolved == CP_UTF8) return EncodeUtf8(codePoint);
  if (codePoint < 0x80 && resolved != 1361) return std::string(1, static_cast<char>(codePoint));
  return TableFor(resolved)->Encode(codePoint);
}

std::string EncodeUtf32(std::u32string_view text, int codePage) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) out += EncodeChar(c, codePage);
  return out;
}

std::string EncodeUtf16(std::u16string_view text, int codePage) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    const bool highSurrogate = c >= 0xD800 && c <= 0xDBFF;
    if (highSurrogate && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    out += EncodeChar(c, codePage);  // a lone surrogate becomes "?"
  }
  return out;
}

bool IsCharBoundary(std::string_view text, std::size_t pos, int codePage) {
  if (pos == 0 || pos >= text.size()) return pos <= text.size();
  return FloorCharBoundary(text, pos, codePage) == pos;
}

std::size_t FloorCharBoundary(std::string_view text, std::size_t pos, int codePage) {
  if (pos >= text.size()) return text.size();
  const int resolved = ResolveCodePage(codePage);
  if (resolved == CP_UTF8) {
    // A valid sequence never holds a lead byte past its first, so the only
    // character that can cover `pos` starts at most three bytes before it.
    for (std::size_t back = 1; back <= 3 && back <= pos; ++back) {
      char32_t ignored;
      const std::size_t length = Utf8SequenceLength(text, pos - back, ignored);
      if (length > back) return pos - back;
    }
    return pos;
  }
  // Double-byte text has no self-synchronising bytes: walk from the start.
  std::size_t start = 0;
  while (start < pos) {
    const std::size_t next = start + DecodeResolved(text, start, resolved).Length;
    if (next > pos) break;
    start = next;
  }
  return start;
}

std::size_t NextCharBoundary(std::string_view text, std::size_t pos, int codePage) {
  if (pos >= text.size()) return text.size();
  const std::size_t start = FloorCharBoundary(text, pos, codePage);
  return start + DecodeChar(text, start, codePage).Length;
}

}  // namespace lark
