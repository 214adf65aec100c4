#include "html/properties.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <tuple>
#include <unordered_map>

#include "html/colors.h"
#include "html/css_number.h"
#include "html/font_family.h"
#include "html/prop_stack.h"
#include "html/selector.h"
#include "html/style_list.h"
#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/gdi.h"

namespace lark {

namespace {

constexpr std::array<std::string_view, css::PropCount> kPropNames = {
    "font-family", "font-size", "font-style", "font-weight", "text-align", "text-decoration",
    "border-style", "color", "background-color", "border-color", "margin-top", "margin-right",
    "margin-bottom", "margin-left", "padding-top", "padding-right", "padding-bottom",
    "padding-left", "border-top-width", "border-right-width", "border-bottom-width",
    "border-left-width", "border-top-style", "border-right-style", "border-bottom-style",
    "border-left-style", "width", "height", "top", "left", "visibility", "line-height",
    "background-image", "background-position", "background-repeat", "vertical-align",
    "position", "z-index", "list-style-type", "list-style-image", "float", "clear",
    "text-indent", "page-break-before", "page-break-after", "page-break-inside", "display"};

// The layer pins the screen's logical resolution.
constexpr double kPixelsPerInch = 96;

bool IsInherited(int index) {
  switch (index) {
    case css::FontFamily: case css::FontSize: case css::FontStyle: case css::FontWeight:
    case css::TextAlign: case css::TextDecoration: case css::Color: case css::Visibility:
    case css::LineHeight: case css::ZIndex: case css::ListStyleType: case css::ListStyleImage:
    case css::TextIndent:
      return true;
    default:
      return false;
  }
}

bool IsBoxLength(int index) { return index >= css::MarginTop && index <= css::Left; }

std::string LowerText(const TPropValue& value) {
  const std::string* text = AsText(value);
  return text ? LowerCase(Trim(*text)) : std::string();
}

int RoundClamped(double value, double limit) {
  return static_cast<int>(std::lround(std::clamp(value, -limit, limit)));
}

bool IsBold(const TPropValue& weight) {
  double number = 0;
  if (AsNumber(weight, number)) return number >= 600;
  const std::string text = LowerText(weight);
  return text.find("bold") != std::string::npos || (ParseCssNumber(text, number) && number >= 600);
}

// The address inside "url(...)", quotes removed; the text itself without one.
std::string UrlOf(const std::string& text) {
  std::string inner = text;
  if (const std::size_t open = PosText("url(", text); open != std::string::npos) {
    const std::size_t close = text.find(')', open);
    inner = text.substr(open + 4, close == std::string::npos ? std::string::npos : close - open - 4);
  }
  inner = Trim(inner);
  if (inner.size() >= 2 && (inner.front() == '"' || inner.front() == '\'') && inner.back() == inner.front())
    inner = Trim(inner.substr(1, inner.size() - 2));
  return inner;
}

TCanvas& ScreenCanvas() {
  static TBitmap screen(1, 1);
  return screen.Canvas();
}

// A vertical margin: ParagraphSpace is 14 pixels and reported.
int VerticalMargin(const TPropValue& value, int width, int em, int ex, bool& paragraphSpace) {
  if (const std::string* text = AsText(value)) return LengthConv(*text, false, width, 0, em, ex);
  const int* number = AsInt(value);
  if (!number || *number == NullValue) return 0;
  if (*number == ParagraphSpace) {
    paragraphSpace = true;
    return 14;
  }
  return *number;
}

// A length of the box, or `nullValue` for an unset one.
int BoxLength(const TPropValue& value, int base, int em, int ex, int textDefault, int nullValue) {
  if (const std::string* text = AsText(value)) return LengthConv(*text, false, base, textDefault, em, ex);
  const int* number = AsInt(value);
  return !number || *number == NullValue ? nullValue : *number;
}

bool BorderStyleIsNone(const TPropValue& style) {
  if (const int* number = AsInt(style)) return *number == 0 || *number == NullValue;
  const std::string text = LowerText(style);
  return text.empty() || text == "none" || text == "hidden";
}

int BorderWidth(const TPropValue& width, const TPropValue& style, int base, int em, int ex) {
  if (BorderStyleIsNone(style)) return 0;
  const std::string text = LowerText(width);
  if (text == "thin") return 2;
  if (text == "medium") return 4;
  if (text == "thick") return 6;
  return BoxLength(width, base, em, ex, 4, 4);
}

PositionRec PositionWord(const std::string& word, bool horizontal, int em, int ex) {
  PositionRec result;
  if (word == "center") {
    result.PosType = pCenter;
  } else if (word.find('%') != std::string::npos) {
    result.PosType = pPercent;
    result.Value = LengthConv(word, false, 100, 0, em, ex);
  } else if (horizontal && (word == "left" || word == "right")) {
    result.PosType = word == "left" ? pLeft : pRight;
  } else if (!horizontal && (word == "top" || word == "bottom")) {
    result.PosType = word == "top" ? pTop : pBottom;
  } else {
    result.Value = LengthConv(word, false, 0, 0, em, ex);
  }
  return result;
}

void SetStyleBit(TFontStyles& style, TFontStyle bit, bool on) { style = on ? (style | bit) : (style & ~bit); }

}  // namespace

bool AsNumber(const TPropValue& v, double& number) {
  if (const int* i = std::get_if<int>(&v)) {
    number = *i;
    return true;
  }
  if (const double* d = std::get_if<double>(&v)) {
    number = *d;
    return true;
  }
  return false;
}

std::string_view PropertyName(int index) { return kPropNames.at(static_cast<std::size_t>(index)); }

int PropertyIndex(std::string_view name) {
  for (std::size_t i = 0; i < kPropNames.size(); ++i)
    if (kPropNames[i] == name) return static_cast<int>(i);
  return -1;
}

int LengthConv(std::string_view text, bool Relative, int Base, int Default, int EmSize, int ExSize) {
  const std::string lower = LowerCase(Trim(text));
  const TNumberAndUnit parts = SplitNumberUnit(lower);
  double n = 0;
  if (!ParseCssNumber(parts.Number, n)) return Default;
  const std::string unit = Trim(parts.Unit);
  double pixels = 0;
  if (unit.empty()) pixels = Relative ? n * Base : n;
  else if (unit == "px") pixels = n;
  else if (unit == "in") pixels = n * kPixelsPerInch;
  else if (unit == "cm") pixels = n * kPixelsPerInch / 2.54;
  else if (unit == "mm") pixels = n * kPixelsPerInch / 25.4;
  else if (unit == "pt") pixels = n * kPixelsPerInch / 72;
  else if (unit == "pc") pixels = n * kPixelsPerInch / 6;
  else if (unit == "em") pixels = n * EmSize;
  else if (unit == "ex") pixels = n * ExSize;
  else if (unit == "%") pixels = n * Base / 100;
  else return Default;
  return RoundClamped(pixels, MaxLength);
}

double FontSizeConv(std::string_view text, double ParentSize, double DefaultSize) {
  const std::string lower = LowerCase(Trim(text));
  const double d = DefaultSize;
  double points = d;
  const TNumberAndUnit parts = SplitNumberUnit(lower);
  const std::string unit = Trim(parts.Unit);
  double n = 0;
  if (lower == "smaller") points = 0.75 * ParentSize;
  else if (lower == "larger") points = 1.25 * ParentSize;
  else if (lower == "xx-small") points = d / 1.5;
  else if (lower == "x-small") points = d / 1.2;
  else if (lower == "small") points = d;
  else if (lower == "medium") points = 1.2 * d;
  else if (lower == "large") points = 1.5 * d;
  else if (lower == "x-large") points = 2 * d;
  else if (lower == "xx-large") points = 3 * d;
  else if (!ParseCssNumber(parts.Number, n)) points = d;
  else if (unit == "in") points = 72 * n;
  else if (unit == "cm") points = 72 * n / 2.54;
  else if (unit == "mm") points = 72 * n / 25.4;
  else if (unit == "pt") points = n;
  else if (unit == "px" || unit.empty()) points = n * 72 / kPixelsPerInch;
  else if (unit == "pc") points = 12 * n;
  else if (unit == "em") points = n * ParentSize;
  else if (unit == "ex") points = n * ParentSize / 2;
  else if (unit == "%") points = n * ParentSize / 100;
  if (std::isnan(points)) points = d;
  return std::clamp(points, 1.0, MaxFontSize);
}

TBoxValues ConvMargArray(const TVMarginArray& VM, int BaseWidth, int BaseHeight, int EmSize, int ExSize) {
  TBoxValues box;
  TMarginArray& m = box.M;
  for (int i = css::BackgroundColor; i <= css::Left; ++i) {
    const TPropValue& v = VM[static_cast<std::size_t>(i)];
    int& out = m[static_cast<std::size_t>(i)];
    switch (i) {
      case css::BackgroundColor:
      case css::BorderColor:
        out = AsInt(v) ? *AsInt(v) : NoColor;
        break;
      case css::MarginTop:
        out = VerticalMargin(v, BaseWidth, EmSize, ExSize, box.ParagraphSpaceTop);
        break;
      case css::MarginBottom:
        out = VerticalMargin(v, BaseWidth, EmSize, ExSize, box.ParagraphSpaceBottom);
        break;
      case css::MarginRight:
      case css::MarginLeft:
        if (LowerText(v) == "auto") {
          out = AutoValue;
          ++box.AutoCount;
        } else {
          out = BoxLength(v, BaseWidth, EmSize, ExSize, 0, 0);
        }
        break;
      case css::BorderTopWidth:
      case css::BorderRightWidth:
      case css::BorderBottomWidth:
      case css::BorderLeftWidth:
        out = BorderWidth(v, VM[static_cast<std::size_t>(i + css::BorderTopStyle - css::BorderTopWidth)],
                          BaseWidth, EmSize, ExSize);
        break;
      case css::Width:
        out = BoxLength(v, BaseWidth, EmSize, ExSize, AutoValue, AutoValue);
        if (out == AutoValue) ++box.AutoCount;
        break;
      case css::Height:
        out = BoxLength(v, BaseHeight, EmSize, ExSize, 0, 0);
        break;
      case css::Top:
      case css::Left:
        out = BoxLength(v, BaseWidth, EmSize, ExSize, AutoValue, AutoValue);
        break;
      default:  // paddings and the side styles
        out = BoxLength(v, BaseWidth, EmSize, ExSize, 0, 0);
        break;
    }
  }
  return box;
}

int CodePageOfCharSet(int CharSet, int Current) {
  switch (CharSet) {
    case ANSI_CHARSET: case DEFAULT_CHARSET: case SYMBOL_CHARSET: case MAC_CHARSET:
    case SHIFTJIS_CHARSET: case HANGEUL_CHARSET: case JOHAB_CHARSET: case GB2312_CHARSET:
    case CHINESEBIG5_CHARSET: case GREEK_CHARSET: case TURKISH_CHARSET: case VIETNAMESE_CHARSET:
    case HEBREW_CHARSET: case ARABIC_CHARSET: case BALTIC_CHARSET: case RUSSIAN_CHARSET:
    case THAI_CHARSET: case EASTEUROPE_CHARSET: case OEM_CHARSET:
      return CharsetToCodePage(CharSet);
    default:
      return Current;
  }
}

// ---- TProperties: values ---------------------------------------------------

TProperties::TProperties() : values_(std::make_shared<TValues>()), codePage_(SystemCodePage()) {
  for (int i = css::MarginTop; i <= css::Left; ++i) values_->props[static_cast<std::size_t>(i)] = NullValue;
  values_->props[css::ZIndex] = 0;
  Changed();
}

TProperties::TValues& TProperties::OwnValues() {
  if (values_.use_count() != 1) values_ = std::make_shared<TValues>(*values_);
  return *values_;
}

TProperties::~TProperties() = default;

namespace {

std::uint64_t NewStamp() {
  static std::atomic<std::uint64_t> lastStamp{0};
  return lastStamp.fetch_add(1, std::memory_order_relaxed) + 1;
}

// The stamp of the state one change (`change` with `value`) makes of the
// state stamped `from`: the same change to equal states gives equal states,
// so they share one stamp, and elements below them can share their styles.
// At kMaxDerivedStamps the table starts again (later changes get new stamps).
constexpr std::size_t kMaxDerivedStamps = 4096;

struct TStampChange {
  std::uint64_t From;
  int Change;
  TPropValue Value;
  bool operator==(const TStampChange&) const = default;
};

struct TStampChangeHash {
  std::size_t operator()(const TStampChange& key) const {
    return std::hash<std::uint64_t>()(key.From) * 31 + std::hash<int>()(key.Change) * 7 +
           std::hash<TPropValue>()(key.Value);
  }
};

std::uint64_t DerivedStamp(std::uint64_t from, int change, const TPropValue& value) {
  thread_local std::unordered_map<TStampChange, std::uint64_t, TStampChangeHash> derived;
  TStampChange key{from, change, value};
  if (const auto found = derived.find(key); found != derived.end()) return found->second;
  if (derived.size() >= kMaxDerivedStamps) derived.clear();
  return derived.emplace(std::move(key), NewStamp()).first->second;
}

}  // namespace

void TProperties::Changed() {
  stamp_ = NewStamp();
  font_.reset();
  fontMetrics_.reset();
}

void TProperties::SetProp(int index, TPropValue value) {
  const auto i = static_cast<std::size_t>(index);
  const std::uint64_t before = stamp_;
  TValues& values = OwnValues();
  values.props.at(i) = std::move(value);
  values.set[i] = true;
  Changed();
  stamp_ = DerivedStamp(before, index, values.props[i]);
}

void TProperties::SetPropertyValue(TPropValue Value, int Index) {
  if (Index < 0 || Index >= css::PropCount || IsSet(Index)) return;
  const std::uint64_t before = stamp_;
  SetProp(Index, Value);
  if (fontInfos_) MergeIntoLinkFonts(Index, Value);
  stamp_ = DerivedStamp(before, css::PropCount + Index, Value);
}

void TProperties::MergeIntoLinkFonts(int Index, const TPropValue& Value) {
  for (ThtFontInfo& info : OwnFontInfos()) {
    double number = 0;
    if (Index == css::FontFamily && AsText(Value)) {
      const std::string name = ResolveFontFamily(*AsText(Value));
      if (!name.empty()) info.Name = name;
    } else if (Index == css::FontSize && AsNumber(Value, number)) {
      info.Size = RoundClamped(number, MaxFontSize);
    } else if (Index == css::Color && AsInt(Value)) {
      info.Color = *AsInt(Value);
    }
  }
}

void TProperties::AddPropertyByIndex(int Index, const std::string& Text) {
  if (Index < 0 || Index >= css::PropCount) return;
  switch (Index) {
    case css::BorderStyle:
      for (int side = css::BorderTopStyle; side <= css::BorderLeftStyle; ++side) SetProp(side, Text);
      SetProp(Index, Text);
      break;
    case css::Color:
    case css::BackgroundColor:
    case css::BorderColor: {
      TColor color = Index == css::Color ? 0 : NoColor;
      TColor read = 0;
      if (ColorFromString(Text, false, read)) color = read;
      SetProp(Index, color);
      break;
    }
    case css::BorderTopStyle:
    case css::BorderRightStyle:
    case css::BorderBottomStyle:
    case css::BorderLeftStyle:
      SetProp(Index, Text);
      SetProp(css::BorderStyle, Text);
      break;
    case css::Visibility: {
      const std::string lower = LowerCase(Trim(Text));
      if (lower == "visible") SetProp(Index, int(viVisible));
      else if (lower == "hidden") SetProp(Index, int(viHidden));
      break;
    }
    default:
      SetProp(Index, Text);
      break;
  }
}

void TProperties::AddPropertyByName(std::string_view Name, const std::string& Text) {
  AddPropertyByIndex(PropertyIndex(LowerCase(Trim(Name))), Text);
}

// ---- TProperties: the element's chain ---------------------------------------

void TProperties::Copy(const TProperties& Source) {
  values_ = std::make_shared<TValues>(*Source.values_);
  defaultFontSize_ = Source.defaultFontSize_;
  fallbackFontName_ = Source.FontName();
  PropTag = "default";
  AssignCharSet(Source.charSet_, Source.codePage_);
}

void TProperties::TakeComputed(const TProperties& Source) {
  PropTag = Source.PropTag;
  PropClass = Source.PropClass;
  PropID = Source.PropID;
  PropPseudo = Source.PropPseudo;
  values_ = Source.values_;
  bgColor_ = Source.bgColor_;
  charSet_ = Source.charSet_;
  codePage_ = Source.codePage_;
  emSize_ = Source.emSize_;
  exSize_ = Source.exSize_;
  defaultFontSize_ = Source.defaultFontSize_;
  fallbackFontName_ = Source.fallbackFontName_;
  fontInfos_ = Source.fontInfos_;
  font_ = Source.font_;
  fontMetrics_ = Source.fontMetrics_;
  stamp_ = Source.stamp_;
}

void TProperties::Inherit(const TProperties& Parent) {
  if (values_.use_count() != 1) values_ = std::make_shared<TValues>();
  for (int i = 0; i < css::PropCount; ++i) {
    const auto index = static_cast<std::size_t>(i);
    values_->props[index] = IsInherited(i) ? Parent.values_->props[index] : TPropValue();
    if (IsBoxLength(i)) values_->props[index] = NullValue;
  }
  values_->set.fill(false);
  bgColor_ = Parent.bgColor_;
  charSet_ = Parent.charSet_;
  codePage_ = Parent.codePage_;
  defaultFontSize_ = Parent.defaultFontSize_;
  fallbackFontName_ = Parent.fallbackFontName_;
  fontInfos_ = Parent.fontInfos_;
  const FontMetrics metrics = Parent.MeasuredFont();
  emSize_ = metrics.Em;
  exSize_ = metrics.Ex;
  Changed();
}

void TProperties::FillUnset(const TProperties& Parent, const TStyleList& Styles, const TPropStack& Stack,
                            std::size_t Index) {
  TValues& values = OwnValues();
  for (int i = 0; i < css::PropCount; ++i)
    if (!IsSet(i) && IsInherited(i))
      values.props[static_cast<std::size_t>(i)] = Parent.values_->props[static_cast<std::size_t>(i)];
  Changed();
  if (Parent.fontInfos_) {
    fontInfos_ = Parent.fontInfos_;
  } else if (PropPseudo == "link") {
    std::vector<const TProperties*> ancestors;
    for (std::size_t i = std::min(Index, Stack.Count()); i-- > 0;)
      if (Stack.Items(i) != this) ancestors.push_back(Stack.Items(i));
    BuildLinkFonts(Styles, ancestors);
  } else {
    fontInfos_.reset();
  }
}

// ---- TProperties: the cascade -----------------------------------------------

void TProperties::Merge(const TProperties& source) {
  for (int i = 0; i < css::PropCount; ++i) {
    const TPropValue& value = source.values_->props[static_cast<std::size_t>(i)];
    if (!source.IsSet(i) || IsEmpty(value)) continue;
    if (IsBoxLength(i) && AsInt(value) && *AsInt(value) == NullValue) continue;
    TValues& values = OwnValues();
    values.props[static_cast<std::size_t>(i)] = value;
    values.set[static_cast<std::size_t>(i)] = true;
    if (fontInfos_) MergeIntoFontInfos(i, value);
  }
  Changed();
}

TFontInfoArray& TProperties::OwnFontInfos() {
  if (fontInfos_.use_count() != 1) fontInfos_ = std::make_shared<TFontInfoArray>(*fontInfos_);
  return *fontInfos_;
}

void TProperties::MergeIntoFontInfos(int index, const TPropValue& value) {
  const std::string text = LowerText(value);
  for (ThtFontInfo& info : OwnFontInfos()) {
    double number = 0;
    switch (index) {
      case css::FontFamily:
        if (const std::string* family = AsText(value)) {
          const std::string name = ResolveFontFamily(*family);
          if (!name.empty()) info.Name = name;
        }
        break;
      case css::FontSize:
        if (AsNumber(value, number)) info.Size = RoundClamped(number, MaxFontSize);
        else info.Size = RoundClamped(FontSizeConv(text, info.Size, defaultFontSize_), MaxFontSize);
        break;
      case css::FontStyle:
        if (text == "italic" || text == "oblique") SetStyleBit(info.Style, fsItalic, true);
        else if (text == "normal") SetStyleBit(info.Style, fsItalic, false);
        break;
      case css::FontWeight:
        if (IsBold(value)) SetStyleBit(info.Style, fsBold, true);
        else if (text == "normal") SetStyleBit(info.Style, fsBold, false);
        break;
      case css::TextDecoration:
        if (text == "underline") SetStyleBit(info.Style, fsUnderline, true);
        else if (text == "line-through") SetStyleBit(info.Style, fsStrikeOut, true);
        else if (text == "none") info.Style &= ~TFontStyles(fsUnderline | fsStrikeOut);
        break;
      case css::Color:
        if (AsInt(value)) info.Color = *AsInt(value);
        break;
      case css::BackgroundColor:
        if (AsInt(value)) info.BGColor = *AsInt(value);
        break;
      default:
        return;
    }
  }
}

void TProperties::MergeDescendantRules(const TStyleList& styles,
                                       const std::vector<const TProperties*>& ancestors,
                                       const std::string& prefix) {
  const TStyleList::Entries& entries = styles.Items();
  for (auto it = entries.lower_bound(prefix); it != entries.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    const std::vector<TSimpleSelector> selectors = SplitDescendantKey(it->first);
    if (selectors.size() < 2 || !selectors[0].Matches(PropTag, PropClass, PropID, PropPseudo)) continue;
    std::size_t next = 1;
    for (const TProperties* ancestor : ancestors)
      if (next < selectors.size() &&
          selectors[next].Matches(ancestor->PropTag, ancestor->PropClass, ancestor->PropID, ancestor->PropPseudo))
        ++next;
    if (next == selectors.size()) Merge(*it->second);
  }
}

void TProperties::CombineWith(const TStyleList& styles, const std::vector<const TProperties*>& ancestors,
                              const std::string& tag, const std::string& cls, const std::string& id,
                              const std::string& pseudo, const TProperties* styleAttr) {
  PropTag = tag;
  PropClass = cls;
  PropID = id;
  PropPseudo = pseudo;
  defaultFontSize_ = styles.DefaultFontSize();
  double inherited = 0;
  if (!AsNumber(values_->props[css::FontSize], inherited)) inherited = defaultFontSize_;

  const auto merge = [&](const std::string& key) {
    if (const TProperties* entry = styles.Find(key)) Merge(*entry);
  };
  const bool plain = pseudo.empty() || (pseudo != "hover" && pseudo != "visited");
  const bool hasClass = !cls.empty();
  const bool hasPseudo = !pseudo.empty();
  if (tag == "a" && hasPseudo) merge("::" + pseudo);
  if (plain) merge(tag);
  if (hasPseudo) merge(":" + pseudo);
  if (hasClass && plain) {
    merge("." + cls);
    merge(tag + "." + cls);
  }
  if (hasPseudo) merge(tag + ":" + pseudo);
  if (hasClass && hasPseudo) {
    merge("." + cls + ":" + pseudo);
    merge(tag + "." + cls + ":" + pseudo);
  }
  if (!id.empty()) {
    merge("#" + id);
    merge(tag + "#" + id);
    if (hasClass) merge("." + cls + "#" + id);
    if (hasPseudo) {
      merge("#" + id + ":" + pseudo);
      merge(tag + "#" + id + ":" + pseudo);
    }
    if (hasClass) merge(tag + "." + cls + "#" + id);
    if (hasClass && hasPseudo) {
      merge("." + cls + "#" + id + ":" + pseudo);
      merge(tag + "." + cls + "#" + id + ":" + pseudo);
    }
  }
  MergeDescendantRules(styles, ancestors, tag + " ");
  if (hasClass) MergeDescendantRules(styles, ancestors, "." + cls);
  if (!id.empty()) MergeDescendantRules(styles, ancestors, "#" + id);
  if (styleAttr) Merge(*styleAttr);

  if (const std::string* size = AsText(values_->props[css::FontSize]))
    OwnValues().props[css::FontSize] = FontSizeConv(*size, inherited, defaultFontSize_);
  Changed();
}

void TProperties::CombineStyle(const TStyleList& Styles, const TPropStack& Stack, const std::string& Tag,
                               const std::string& Class, const std::string& ID, const std::string& Pseudo,
                               const std::string& Title, const TProperties* StyleAttr) {
  std::vector<const TProperties*> ancestors;
  for (std::size_t i = Stack.Count(); i-- > 0;)
    if (Stack.Items(i) != this) ancestors.push_back(Stack.Items(i));
  CombineWith(Styles, ancestors, Tag, Class, ID, Pseudo, StyleAttr);
  PropTitle = Title;
  if (Pseudo == "link") BuildLinkFonts(Styles, ancestors);
}

// The four link fonts come from temporary elements stacked above the link:
// "visited" above it, "hover" above that, and "hover" directly above it.
void TProperties::BuildLinkFonts(const TStyleList& styles, const std::vector<const TProperties*>& ancestors) {
  auto infos = std::make_shared<TFontInfoArray>();
  (*infos)[LinkFont] = GetFontInfo();
  const auto stateAbove = [&](const TProperties& below, const std::vector<const TProperties*>& chain,
                              const std::string& state) {
    auto temporary = std::make_unique<TProperties>();
    temporary->Inherit(below);
    temporary->fontInfos_.reset();
    temporary->CombineWith(styles, chain, PropTag, PropClass, PropID, state, nullptr);
    temporary->UseBackgroundColor();
    return temporary;
  };
  std::vector<const TProperties*> chain = ancestors;
  chain.insert(chain.begin(), this);
  const std::unique_ptr<TProperties> visited = stateAbove(*this, chain, "visited");
  (*infos)[VisitedFont] = visited->GetFontInfo();
  std::vector<const TProperties*> aboveVisited = chain;
  aboveVisited.insert(aboveVisited.begin(), visited.get());
  (*infos)[HoverVisitedFont] = stateAbove(*visited, aboveVisited, "hover")->GetFontInfo();
  (*infos)[HoverFont] = stateAbove(*this, chain, "hover")->GetFontInfo();
  fontInfos_ = std::move(infos);
}

// ---- TProperties: fonts -----------------------------------------------------

void TProperties::AssignCharSet(int CharSet) {
  // The layer's fonts report the character set they were asked for, so the
  // one asked for is the one in force.
  charSet_ = CharSet;
  codePage_ = CodePageOfCharSet(CharSet, codePage_);
  Changed();
}

void TProperties::AssignCharSet(int CharSet, int CodePage) {
  charSet_ = CharSet;
  codePage_ = CodePage;
  Changed();
}

std::string TProperties::FontName() const {
  const std::string* families = AsText(values_->props[css::FontFamily]);
  std::string name = families ? ResolveFontFamily(*families) : std::string();
  if (name.empty()) name = fallbackFontName_;
  if (name.empty() && families) name = FirstFontFamily(*families);
  return name;
}

double TProperties::FontSizePoints() const {
  double points = defaultFontSize_;
  if (AsNumber(values_->props[css::FontSize], points)) return std::clamp(points, 1.0, MaxFontSize);
  if (const std::string* text = AsText(values_->props[css::FontSize]))
    return FontSizeConv(*text, defaultFontSize_, defaultFontSize_);
  return points;
}

ThtFontInfo TProperties::GetFontInfo() const {
  ThtFontInfo info;
  const int* color = AsInt(values_->props[css::Color]);
  info.Color = color ? *color : 0;
  info.BGColor = bgColor_;
  if (IsBold(values_->props[css::FontWeight])) info.Style |= fsBold;
  const std::string style = LowerText(values_->props[css::FontStyle]);
  if (style == "italic" || style == "oblique") info.Style |= fsItalic;
  const std::string decoration = LowerText(values_->props[css::TextDecoration]);
  if (decoration == "underline") info.Style |= fsUnderline;
  else if (decoration == "line-through") info.Style |= fsStrikeOut;
  info.Size = RoundClamped(FontSizePoints(), MaxFontSize);
  info.CharSet = charSet_;
  // The font's text reads in the code page in force, the one character
  // references were written in.
  info.CodePage = codePage_;
  info.Name = FontName();
  if (PosText("dings", info.Name) != std::string::npos) {
    info.CharSet = DEFAULT_CHARSET;
    info.CodePage = 0;
  }
  return info;
}

const TMyFont& TProperties::CachedFont() const {
  // Properties of one stamp make one font: like elements share it through
  // this table, kMaxStampFonts of them (then the table starts again).
  constexpr std::size_t kMaxStampFonts = 1024;
  thread_local std::unordered_map<std::uint64_t, std::shared_ptr<const TMyFont>> byStamp;
  if (!font_) {
    if (const auto found = byStamp.find(stamp_); found != byStamp.end()) {
      font_ = found->second;
      return *font_;
    }
    const ThtFontInfo info = GetFontInfo();
    auto font = std::make_shared<TMyFont>();
    font->SetName(info.Name);
    font->SetSize(info.Size);
    font->SetStyle(info.Style);
    font->SetColor(info.Color);
    font->SetCharset(info.CharSet);
    font->SetCodePage(info.CodePage);
    font->bgColor = info.BGColor;
    font->CharSetValues = CharSetValuesFor(info.CharSet);
    (void)font->Realized();  // once here, not in every copy the runs take
    if (byStamp.size() >= kMaxStampFonts) byStamp.clear();
    byStamp.emplace(stamp_, font);
    font_ = std::move(font);
  }
  return *font_;
}

std::unique_ptr<TMyFont> TProperties::GetFont() { return std::make_unique<TMyFont>(CachedFont()); }

const TMyFont& TProperties::Font() const { return CachedFont(); }

TProperties::FontMetrics TProperties::MeasuredFont() const {
  if (!fontMetrics_) {
    // Documents use few distinct fonts; realising one for every element
    // would dominate the parse, so the metrics are kept per font.
    using FontKey = std::tuple<std::string, int, TFontStyles, int>;
    static std::map<FontKey, FontMetrics> measured;
    const TMyFont& font = CachedFont();
    const FontKey key{font.Name(), font.Height(), font.Style(), font.Charset()};
    auto found = measured.find(key);
    if (found == measured.end()) {
      TCanvas& canvas = ScreenCanvas();
      canvas.SetFont(font);
      TEXTMETRIC metrics;
      GetTextMetrics(canvas, metrics);
      const int em = metrics.tmHeight - metrics.tmInternalLeading;
      found = measured.emplace(key, FontMetrics{em, em / 2}).first;
    }
    fontMetrics_ = found->second;
  }
  return *fontMetrics_;
}

// ---- TProperties: value getters ---------------------------------------------

void TProperties::GetBackgroundPos(int EmSize, int ExSize, PositionRec& X, PositionRec& Y) const {
  X = PositionRec();
  Y = PositionRec();
  const std::string text = LowerText(values_->props[css::BackgroundPosition]);
  if (!text.empty()) {
    const std::size_t space = text.find(' ');
    const std::string first = text.substr(0, space);
    const std::string second = space == std::string::npos ? std::string() : Trim(text.substr(space + 1));
    if (second.empty() && (first == "top" || first == "bottom")) {
      Y = PositionWord(first, false, EmSize, ExSize);
      X.PosType = pCenter;
    } else if (second.empty()) {
      X = PositionWord(first, true, EmSize, ExSize);
      Y.PosType = pCenter;
    } else {
      X = PositionWord(first, true, EmSize, ExSize);
      Y = PositionWord(second, false, EmSize, ExSize);
    }
  }
  const std::string repeat = LowerText(values_->props[css::BackgroundRepeat]);
  X.RepeatD = repeat != "no-repeat" && repeat != "repeat-y";
  Y.RepeatD = repeat != "no-repeat" && repeat != "repeat-x";
}

bool TProperties::GetVertAlign(AlignmentType& Align) const {
  const std::string text = LowerText(values_->props[css::VerticalAlign]);
  if (text == "top" || text == "text-top") Align = ATop;
  else if (text == "middle") Align = AMiddle;
  else if (text == "baseline") Align = ABaseline;
  else if (text == "bottom") Align = ABottom;
  else return false;
  return true;
}

bool TProperties::GetFloat(AlignmentType& Align) const {
  const std::string text = LowerText(values_->props[css::Float]);
  if (text == "left") Align = ALeft;
  else if (text == "right") Align = ARight;
  else if (text == "none") Align = ANone;
  else return false;
  return true;
}

bool TProperties::GetClear(ClearAttrType& Clear) const {
  const std::string text = LowerText(values_->props[css::Clear]);
  if (text == "left") Clear = ClearLeft;
  else if (text == "right") Clear = ClearRight;
  else if (text == "both") Clear = ClearBoth;
  else if (text == "none") Clear = ClearNone;
  else return false;
  return true;
}

ListBulletType TProperties::GetListStyleType() const {
  static constexpr std::array<std::string_view, 10> kNames = {
      "blank", "circle", "decimal", "disc", "lower-alpha", "lower-roman", "none", "square",
      "upper-alpha", "upper-roman"};
  const std::string text = LowerText(values_->props[css::ListStyleType]);
  for (std::size_t i = 0; i < kNames.size(); ++i)
    if (kNames[i] == text) return static_cast<ListBulletType>(i);
  return lbBlank;
}

std::string TProperties::GetListStyleImage() const {
  const std::string* text = AsText(values_->props[css::ListStyleImage]);
  return text && PosText("url(", *text) != std::string::npos ? UrlOf(*text) : std::string();
}

PositionType TProperties::GetPosition() const {
  const std::string text = LowerText(values_->props[css::Position]);
  if (text == "absolute") return posAbsolute;
  if (text == "relative") return posRelative;
  return posStatic;
}

bool TProperties::IsHidden() const {
  const TPropValue& value = values_->props[css::Visibility];
  return (AsInt(value) && *AsInt(value) == viHidden) || LowerText(value) == "hidden";
}

int TProperties::GetZIndex() const {
  double number = 0;
  if (AsNumber(values_->props[css::ZIndex], number) || ParseCssNumber(LowerText(values_->props[css::ZIndex]), number))
    return RoundClamped(number, MaxLength);
  return 0;
}

bool TProperties::DisplayNone() const { return LowerText(values_->props[css::Display]) == "none"; }

int TProperties::GetLineHeight(int NewHeight) const {
  double number = 0;
  if (AsNumber(values_->props[css::LineHeight], number)) return RoundClamped(number * NewHeight, MaxLength);
  const std::string* text = AsText(values_->props[css::LineHeight]);
  return text ? LengthConv(*text, true, NewHeight, 0, emSize_, exSize_) : 0;
}

int TProperties::GetTextIndent(bool& Percent) const {
  const std::string text = LowerText(values_->props[css::TextIndent]);
  Percent = text.find('%') != std::string::npos;
  return LengthConv(text, false, Percent ? 100 : 0, 0, emSize_, exSize_);
}

bool TProperties::GetPageBreakBefore() const { return LowerText(values_->props[css::PageBreakBefore]) == "always"; }
bool TProperties::GetPageBreakAfter() const { return LowerText(values_->props[css::PageBreakAfter]) == "always"; }
bool TProperties::GetPageBreakInside() const { return LowerText(values_->props[css::PageBreakInside]) == "avoid"; }

TColor TProperties::GetColor() const {
  const int* color = AsInt(values_->props[css::Color]);
  return color ? *color : NoColor;
}

TColor TProperties::GetBackgroundColor() const {
  const int* color = AsInt(values_->props[css::BackgroundColor]);
  return color ? *color : NoColor;
}

TColor TProperties::UseBackgroundColor() {
  const TColor color = GetBackgroundColor();
  if (color != NoColor) {
    const std::uint64_t before = stamp_;
    bgColor_ = color;
    Changed();
    stamp_ = DerivedStamp(before, -1, color);
  }
  return color;
}

bool TProperties::HasBorderStyle() const { return !BorderStyleIsNone(values_->props[css::BorderStyle]); }

bool TProperties::GetBackgroundImage(std::string& Name) const {
  const std::string* text = AsText(values_->props[css::BackgroundImage]);
  if (!text) return false;
  Name = LowerCase(Trim(*text)) == "none" ? std::string() : UrlOf(*text);
  return true;
}

void TProperties::GetVMarginArray(TVMarginArray& VM) const {
  for (int i = css::BackgroundColor; i <= css::Left; ++i)
    VM[static_cast<std::size_t>(i)] = values_->props[static_cast<std::size_t>(i)];
}

namespace {

// Elements styled apart often hold equal box values (a page's many classes
// differ in colour or alignment, not in margins): blocks share the tables
// recently made, compared by content.
constexpr std::size_t kRecentBoxTables = 8;

std::shared_ptr<const TVMarginArray> ShareByContent(TVMarginArray box) {
  thread_local std::array<std::shared_ptr<const TVMarginArray>, kRecentBoxTables> recent;
  thread_local std::size_t next = 0;
  for (const auto& table : recent)
    if (table && *table == box) return table;
  auto made = std::make_shared<const TVMarginArray>(std::move(box));
  recent[next++ % kRecentBoxTables] = made;
  return made;
}

}  // namespace

std::shared_ptr<const TVMarginArray> TProperties::SharedVMarginArray() const {
  if (!values_->box || values_->boxStamp != stamp_) {
    TVMarginArray box;
    GetVMarginArray(box);
    values_->box = ShareByContent(std::move(box));
    values_->boxStamp = stamp_;
  }
  return values_->box;
}

TBoxValues TProperties::GetBoxValues(int BaseWidth, int BaseHeight) const {
  TVMarginArray vm;
  GetVMarginArray(vm);
  return ConvMargArray(vm, BaseWidth, BaseHeight, emSize_, exSize_);
}

}  // namespace lark
