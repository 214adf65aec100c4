#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/color.h"

namespace lark {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;  // an or-ed set of TFontStyle
enum TFontPitch { fpDefault, fpVariable, fpFixed };

// Windows character sets; a font carries one, which chooses the font, and its
// text is decoded in the code page the font names, or else in the charset's
// own (see CharsetToCodePage).
constexpr int ANSI_CHARSET = 0;
constexpr int DEFAULT_CHARSET = 1;
constexpr int SYMBOL_CHARSET = 2;
constexpr int MAC_CHARSET = 77;
constexpr int SHIFTJIS_CHARSET = 128;
constexpr int HANGEUL_CHARSET = 129;
constexpr int JOHAB_CHARSET = 130;
constexpr int GB2312_CHARSET = 134;
constexpr int CHINESEBIG5_CHARSET = 136;
constexpr int GREEK_CHARSET = 161;
constexpr int TURKISH_CHARSET = 162;
constexpr int VIETNAMESE_CHARSET = 163;
constexpr int HEBREW_CHARSET = 177;
constexpr int ARABIC_CHARSET = 178;
constexpr int BALTIC_CHARSET = 186;
constexpr int RUSSIAN_CHARSET = 204;
constexpr int THAI_CHARSET = 222;
constexpr int EASTEUROPE_CHARSET = 238;
constexpr int OEM_CHARSET = 255;

// The code page in which text of a charset is decoded: the system code page
// (UTF-8) for 0, 1 and any charset without a table of its own.
[[nodiscard]] int CharsetToCodePage(int charset);

namespace detail {
class RealizedFont;
}

// A logical font: what the caller asks for. The font actually used is made
// from it on first use and kept until a property changes. Height < 0 is the
// character height in pixels (the em), Height > 0 the cell height including
// internal leading; Size is in points at PixelsPerInch.
class TFont {
 public:
  TFont();
  TFont(const TFont& other);
  TFont& operator=(const TFont& other);
  ~TFont();

  void Assign(const TFont& source) { *this = source; }

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  int Size() const;
  void SetSize(int points);
  int Height() const { return height_; }
  void SetHeight(int height);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }
  int Charset() const { return charset_; }
  void SetCharset(int charset);
  // The code page its text is decoded in: the one named with SetCodePage
  // (an ISO-8859 or KOI8 page keeps its charset for the choice of font but
  // reads in its own code page), else the charset's. Naming 0 goes back to
  // the charset's.
  int CodePage() const;
  void SetCodePage(int code_page);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  int PixelsPerInch() const { return pixels_per_inch_; }
  void SetPixelsPerInch(int ppi);

  // The font as realised for measuring and drawing (layer internal).
  const detail::RealizedFont& Realized() const;

 private:
  void Changed() { realized_.reset(); }

  std::string name_ = "Arial";
  int height_ = -13;  // 10 points at 96 dpi
  TFontStyles style_ = 0;
  TColor color_ = clWindowText;
  int charset_ = DEFAULT_CHARSET;
  int code_page_ = 0;  // none named
  TFontPitch pitch_ = fpDefault;
  int pixels_per_inch_ = 96;
  mutable std::shared_ptr<const detail::RealizedFont> realized_;
};

// Realised fonts shared between fonts of the same properties, at most
// kMaxRealizedFonts (for tests).
constexpr std::size_t kMaxRealizedFonts = 256;
[[nodiscard]] std::size_t RealizedFontCount();

// The names of the installed font families, sorted, including the classic
// names ("Arial", "Times New Roman", "Courier New") that resolve to their
// metric-compatible families.
[[nodiscard]] std::vector<std::string> InstalledFontNames();

struct TFontFamilyInfo {
  std::string Name;
  bool FixedPitch = false;
  bool Scalable = true;  // TrueType-like outline font
  bool Symbol = false;
};
// One entry per installed family name (as InstalledFontNames; a family's
// secondary names, such as "DejaVu Sans Light", included), with what a font
// list filters on.
[[nodiscard]] std::vector<TFontFamilyInfo> EnumFontFamilies();

}  // namespace lark
