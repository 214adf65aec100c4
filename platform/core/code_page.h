#pragma once

// The one decoder of document text: every byte string of a document belongs to
// a code page (the run's), and measuring, drawing, breaking, the caret, find
// and copy all cut it into characters here, so they agree on what a character
// is. Conversions go through iconv; decoded tables are cached per code page.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lark {

constexpr int CP_ACP = 0;       // "the system code page"
constexpr int CP_OEMCP = 1;     // the OEM code page: 437 here
constexpr int CP_MACCP = 2;     // the Mac code page: Mac Roman here
constexpr int CP_UTF8 = 65001;
constexpr int CP_KOI8_R = 20866;
constexpr int CP_KOI8_U = 21866;
// ISO-8859-n is code page 28590 + n (n = 1..16, there is no part 12).
[[nodiscard]] constexpr int CodePageOfIso8859(int part) { return 28590 + part; }
constexpr int CP_ISO_8859_1 = CodePageOfIso8859(1);  // read as Windows-1252

// The code page of text that names none: UTF-8, as on Linux.
[[nodiscard]] int SystemCodePage();

// Resolves the symbolic code pages 0, 1 and 2 to real ones (65001, 437,
// 10000), and ISO-8859-1 to Windows-1252. Code pages this layer does not know
// read as the system code page.
[[nodiscard]] int ResolveCodePage(int codePage);

// True for the double-byte code pages 932, 936, 949, 950 and 1361.
[[nodiscard]] bool IsDoubleByteCodePage(int codePage);

// One character as it stands in a byte string.
struct DecodedChar {
  std::size_t Length = 0;  // bytes it occupies, 1..4; 0 only past the end
  char32_t CodePoint = 0;  // U+FFFD where the bytes name no character
};

// The character that starts at byte `pos` of `text`. In UTF-8 a valid
// sequence is one character and any other byte one Windows-1252 character;
// in a double-byte code page a lead byte with a valid trail byte is one
// character, a lead byte without one stands alone. Never reads past the text.
[[nodiscard]] DecodedChar DecodeChar(std::string_view text, std::size_t pos, int codePage);

// Decodes a whole run. `starts`, when given, receives the byte offset at
// which each decoded character begins (one entry per character).
[[nodiscard]] std::u32string DecodeToUtf32(std::string_view text, int codePage,
                                           std::vector<std::size_t>* starts = nullptr);
// The same as UTF-16, characters above U+FFFF as surrogate pairs.
[[nodiscard]] std::u16string DecodeToUtf16(std::string_view text, int codePage);

// The bytes of one character in a code page. "?" for surrogates, for values
// above U+10FFFF and for characters the code page cannot represent.
[[nodiscard]] std::string EncodeChar(char32_t codePoint, int codePage);
// Whole-string forms, for text coming back from Unicode widgets.
[[nodiscard]] std::string EncodeUtf32(std::u32string_view text, int codePage);
[[nodiscard]] std::string EncodeUtf16(std::u16string_view text, int codePage);

// Character boundaries: `pos` (0..size) is a boundary when a character starts
// there or it is the end of the text.
[[nodiscard]] bool IsCharBoundary(std::string_view text, std::size_t pos, int codePage);
// The last boundary at or before `pos` (pos beyond the text counts as its end),
// so a cut at the result never splits a character.
[[nodiscard]] std::size_t FloorCharBoundary(std::string_view text, std::size_t pos, int codePage);
// The boundary after the character that starts at or covers `pos`.
[[nodiscard]] std::size_t NextCharBoundary(std::string_view text, std::size_t pos, int codePage);

}  // namespace lark
