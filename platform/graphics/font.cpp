#include "platform/graphics/font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTextLayout>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>

#include "platform/core/code_page.h"
#include "platform/graphics/arithmetic.h"
#include "platform/graphics/font_engine_qt.h"
#include "platform/windows/gui_application.h"

namespace lark {

int CharsetToCodePage(int charset) {
  switch (charset) {
    case OEM_CHARSET: return 437;
    case MAC_CHARSET: return 10000;
    case SHIFTJIS_CHARSET: return 932;
    case GB2312_CHARSET: return 936;
    case HANGEUL_CHARSET: return 949;
    case CHINESEBIG5_CHARSET: return 950;
    case JOHAB_CHARSET: return 1361;
    case GREEK_CHARSET: return 1253;
    case RUSSIAN_CHARSET: return 1251;
    case EASTEUROPE_CHARSET: return 1250;
    case TURKISH_CHARSET: return 1254;
    case HEBREW_CHARSET: return 1255;
    case ARABIC_CHARSET: return 1256;
    case BALTIC_CHARSET: return 1257;
    case VIETNAMESE_CHARSET: return 1258;
    case THAI_CHARSET: return 874;
    default: return SystemCodePage();
  }
}

// ---- TFont ----------------------------------------------------------------

TFont::TFont() = default;
TFont::TFont(const TFont& other) = default;
TFont& TFont::operator=(const TFont& other) = default;
TFont::~TFont() = default;

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixels_per_inch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixels_per_inch_, 72)); }

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  Changed();
}

void TFont::SetCharset(int charset) {
  if (charset == charset_) return;
  charset_ = charset;
  Changed();
}

int TFont::CodePage() const { return code_page_ != 0 ? code_page_ : CharsetToCodePage(charset_); }

void TFont::SetCodePage(int code_page) {
  if (code_page == code_page_) return;
  code_page_ = code_page;
  Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == pitch_) return;
  pitch_ = pitch;
  Changed();
}

void TFont::SetPixelsPerInch(int ppi) {
  if (ppi <= 0) return;
  pixels_per_inch_ = ppi;  // the height stays; Size now reads at the new resolution
}

namespace {

// What a realised font depends on: the colour and the resolution do not
// change it.
using RealizedKey = std::tuple<std::string, int, TFontStyles, int, int, TFontPitch>;

// Realising a font costs a toolkit font, a raw font and a glyph table; a
// document asks for the same few fonts in every one of its runs. The fonts
// realised are shared by the properties that make them, until the
// installed fonts change (a name may then resolve to another family). At
// kMaxRealizedFonts the table starts again; fonts in use keep theirs.
class RealizedFontTable {
 public:
  std::shared_ptr<const detail::RealizedFont> Get(const TFont& font, RealizedKey key) {
    {
      std::lock_guard lock(mutex_);
      WatchFontDatabase();
      if (auto found = fonts_.find(key); found != fonts_.end()) return found->second;
    }
    // Made outside the lock: the toolkit may report a font database change
    // while it loads a font.
    auto made = std::make_shared<const detail::RealizedFont>(font);
    std::lock_guard lock(mutex_);
    if (fonts_.size() >= kMaxRealizedFonts) fonts_.clear();
    return fonts_.try_emplace(std::move(key), made).first->second;
  }

  std::size_t Size() {
    std::lock_guard lock(mutex_);
    return fonts_.size();
  }

 private:
  void WatchFontDatabase() {
    if (watching_) return;
    lark::EnsureGuiApplication();
    QObject::connect(qGuiApp, &QGuiApplication::fontDatabaseChanged, qGuiApp, [this] {
      std::lock_guard lock(mutex_);
      fonts_.clear();
    });
    watching_ = true;
  }

  std::mutex mutex_;
  std::map<RealizedKey, std::shared_ptr<const detail::RealizedFont>> fonts_;
  bool watching_ = false;
};

RealizedFontTable& RealizedFonts() {
  static RealizedFontTable* table = new RealizedFontTable;  // outlives the toolkit's exit handlers
  return *table;
}

}  // namespace

const detail::RealizedFont& TFont::Realized() const {
  if (!realized_)
    realized_ = RealizedFonts().Get(*this, RealizedKey{name_, height_, style_, charset_, code_page_, pitch_});
  return *realized_;
}

std::size_t RealizedFontCount() { return RealizedFonts().Size(); }

// ---- font lists -----------------------------------------------------------

namespace {

// Names documents ask for that fontconfig answers with metric-compatible
// families; they are listed as installed when their substitute is.
constexpr std::pair<const char*, const char*> kClassicNames[] = {
    {"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"}};

// Every family name fontconfig lists, a face's secondary names included
// ("DejaVu Sans Light", which the toolkit folds into DejaVu Sans as a
// weight). Each is described as the toolkit describes the face's first
// name, except that it is fixed-pitch or scalable when any face bearing it
// is, as fontconfig's own filters answer.
void AddFontconfigNames(std::map<std::string, TFontFamilyInfo>& families) {
  const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> any(FcPatternCreate(), FcPatternDestroy);
  const std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> wanted(
      FcObjectSetBuild(FC_FAMILY, FC_SPACING, FC_SCALABLE, nullptr), FcObjectSetDestroy);
  const std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> faces(FcFontList(nullptr, any.get(), wanted.get()),
                                                                       FcFontSetDestroy);
  for (int i = 0; faces && i < faces->nfont; ++i) {
    FcPattern* face = faces->fonts[i];
    FcChar8* first = nullptr;
    if (FcPatternGetString(face, FC_FAMILY, 0, &first) != FcResultMatch) continue;
    const QString toolkit_family = QString::fromUtf8(reinterpret_cast<const char*>(first));
    int spacing = FC_PROPORTIONAL;
    FcBool scalable = FcFalse;
    FcPatternGetInteger(face, FC_SPACING, 0, &spacing);
    FcPatternGetBool(face, FC_SCALABLE, 0, &scalable);
    FcChar8* name = nullptr;
    for (int n = 0; FcPatternGetString(face, FC_FAMILY, n, &name) == FcResultMatch; ++n) {
      const std::string text(reinterpret_cast<const char*>(name));
      auto [entry, added] = families.try_emplace(text, TFontFamilyInfo{text, false, false, false});
      if (added) entry->second.Symbol = QFontDatabase::writingSystems(toolkit_family).contains(QFontDatabase::Symbol);
      entry->second.FixedPitch = entry->second.FixedPitch || spacing >= FC_MONO;
      entry->second.Scalable = entry->second.Scalable || scalable;
    }
  }
}

}  // namespace

std::vector<TFontFamilyInfo> EnumFontFamilies() {
  lark::EnsureGuiApplication();
  std::map<std::string, TFontFamilyInfo> families;
  const QStringList installed = QFontDatabase::families();
  auto add = [&](const QString& family, const std::string& name) {
    families[name] = {name, QFontDatabase::isFixedPitch(family), QFontDatabase::isSmoothlyScalable(family),
                      QFontDatabase::writingSystems(family).contains(QFontDatabase::Symbol)};
  };
  for (const QString& family : installed) add(family, family.toStdString());
  AddFontconfigNames(families);
  for (const auto& [classic, substitute] : kClassicNames)
    if (installed.contains(substitute) && !installed.contains(classic)) add(substitute, classic);
  std::vector<TFontFamilyInfo> sorted;
  for (auto& [name, family] : families) sorted.push_back(std::move(family));
  return sorted;
}

std::vector<std::string> InstalledFontNames() {
  std::vector<std::string> names;
  for (const TFontFamilyInfo& family : EnumFontFamilies()) names.push_back(family.Name);
  return names;
}

// ---- the realised font ----------------------------------------------------

namespace detail {

namespace {

QFont MakeQFont(const TFont& font, int pixel_size) {
  QFont result(QString::fromStdString(font.Name()));
  result.setPixelSize(std::max(1, pixel_size));
  result.setBold(font.Style() & fsBold);
  result.setItalic(font.Style() & fsItalic);
  result.setKerning(false);
  result.setHintingPreference(QFont::PreferFullHinting);
  if (font.Pitch() == fpFixed) result.setFixedPitch(true);
  return result;
}

// The em size for a requested height: negative is the em itself, positive
// the whole cell, which is scaled down by the font's own cell-to-em ratio.
int PixelSize(const TFont& font) {
  const int height = font.Height();
  if (height < 0) return -height;
  if (height == 0) return 13;
  const QFontMetrics probe(MakeQFont(font, height));
  const int cell = probe.ascent() + probe.descent();
  return cell > 0 ? std::max(1, int(std::lround(double(height) * height / cell))) : height;
}

}  // namespace

RealizedFont::RealizedFont(const TFont& font) : code_page_(font.CodePage()) {
  lark::EnsureGuiApplication();
  const int pixel_size = PixelSize(font);
  font_ = MakeQFont(font, pixel_size);
  raw_fonts_.push_back(QRawFont::fromFont(font_));
  const QFontMetrics fm(font_);
  metrics_.tmAscent = fm.ascent();
  metrics_.tmDescent = fm.descent();
  metrics_.tmHeight = metrics_.tmAscent + metrics_.tmDescent;
  metrics_.tmInternalLeading = std::max(0, metrics_.tmHeight - pixel_size);
  metrics_.tmExternalLeading = std::max(0, fm.leading());
  metrics_.tmAveCharWidth = GlyphFor(U'x').advance;
  metrics_.tmMaxCharWidth = std::max(fm.maxWidth(), metrics_.tmAveCharWidth);
  metrics_.tmWeight = (font.Style() & fsBold) ? 700 : 400;
  metrics_.tmItalic = (font.Style() & fsItalic) ? 1 : 0;
  metrics_.tmUnderlined = (font.Style() & fsUnderline) ? 1 : 0;
  metrics_.tmStruckOut = (font.Style() & fsStrikeOut) ? 1 : 0;
  const bool fixed = QFontInfo(font_).fixedPitch();
  metrics_.tmPitchAndFamily = uint8_t((fixed ? 0 : 1) | 4);  // variable-pitch bit, outline font
  metrics_.tmCharSet = uint8_t(font.Charset());
  underline_ = font.Style() & fsUnderline;
  strike_out_ = font.Style() & fsStrikeOut;
  underline_position_ = std::max(1, fm.underlinePos());
  strike_out_position_ = fm.strikeOutPos();
  line_width_ = std::max(1, fm.lineWidth());
}

const RealizedFont::Glyph& RealizedFont::FirstGlyphFor(char32_t code_point) const {
  if (code_point < 256) {
    if (!latin_known_[code_point]) {
      latin_[code_point] = Lookup(code_point);
      latin_known_[code_point] = true;
      if (code_point < 0x80) ascii_advances_[code_point] = latin_[code_point].advance;
    }
    return latin_[code_point];
  }
  auto found = others_.find(code_point);
  if (found == others_.end()) found = others_.emplace(code_point, Lookup(code_point)).first;
  return found->second;
}

RealizedFont::Glyph RealizedFont::Lookup(char32_t code_point) const {
  if (code_point < 0x20 || (code_point >= 0x7F && code_point < 0xA0)) return {};
  const char32_t utf32[1] = {code_point};
  const QString text = QString::fromUcs4(utf32, 1);
  QRawFont font = raw_fonts_[0];
  quint32 index = 0;
  if (font.supportsCharacter(uint(code_point))) {
    const QList<quint32> indexes = font.glyphIndexesForString(text);
    if (!indexes.isEmpty()) index = indexes[0];
  } else {
    // Another family has it: let Qt's fallback choose, as a layout would.
    QTextLayout layout(text, font_);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.isEmpty() || runs[0].glyphIndexes().isEmpty()) return {};
    font = runs[0].rawFont();
    index = runs[0].glyphIndexes()[0];
  }
  const QList<QPointF> advances = font.advancesForGlyphIndexes(QList<quint32>{index});
  Glyph glyph;
  glyph.index = index;
  glyph.advance = advances.isEmpty() ? 0 : int(std::lround(advances[0].x()));
  const auto known = std::find(raw_fonts_.begin(), raw_fonts_.end(), font);
  glyph.font = int(known - raw_fonts_.begin());
  if (known == raw_fonts_.end()) raw_fonts_.push_back(font);
  return glyph;
}

std::vector<TextChar> SplitCharacters(std::string_view text, int code_page) {
  std::vector<TextChar> chars;
  chars.reserve(text.size());
  ForEachCharacter(text, code_page, [&](const TextChar& c) { chars.push_back(c); });
  return chars;
}

}  // namespace detail
}  // namespace lark

// fontconfig keeps the font patterns Qt's font database read for the life of
// the process, which outlives the leak check at exit. Sanitizer builds are
// told so here, next to the object that causes it.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LARK_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LARK_ADDRESS_SANITIZER 1
#endif
#ifdef LARK_ADDRESS_SANITIZER
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif
