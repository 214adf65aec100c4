#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "html/my_font.h"
#include "platform/graphics/color.h"

namespace lark {

class TStyleList;
class TPropStack;

// Special integer values of style properties.
constexpr int NullValue = -12345678;       // not given
constexpr int ParagraphSpace = -12348766;  // the automatic 14-pixel paragraph margin
constexpr int AutoValue = -12348765;       // "auto"

// The 47 properties, by index. The order is fixed: box values are read as the
// run MarginTop..Left, and the style-sheet parser finds an index by name.
namespace css {
enum TPropIndex : int {
  FontFamily, FontSize, FontStyle, FontWeight, TextAlign, TextDecoration, BorderStyle, Color,
  BackgroundColor, BorderColor, MarginTop, MarginRight, MarginBottom, MarginLeft, PaddingTop,
  PaddingRight, PaddingBottom, PaddingLeft, BorderTopWidth, BorderRightWidth, BorderBottomWidth,
  BorderLeftWidth, BorderTopStyle, BorderRightStyle, BorderBottomStyle, BorderLeftStyle, Width,
  Height, Top, Left, Visibility, LineHeight, BackgroundImage, BackgroundPosition,
  BackgroundRepeat, VerticalAlign, Position, ZIndex, ListStyleType, ListStyleImage, Float, Clear,
  TextIndent, PageBreakBefore, PageBreakAfter, PageBreakInside, Display,
  PropCount
};
}  // namespace css

// The CSS name of a property ("font-family"), and the index of a name (-1
// when it is none of the 47).
[[nodiscard]] std::string_view PropertyName(int index);
[[nodiscard]] int PropertyIndex(std::string_view name);

// One property value: not given, CSS text as written ("1.25em", "bold"), an
// integer (colours, pixels, codes, the special values) or a real number
// (point sizes).
using TPropValue = std::variant<std::monostate, std::string, int, double>;

[[nodiscard]] inline bool IsEmpty(const TPropValue& v) { return std::holds_alternative<std::monostate>(v); }
[[nodiscard]] inline const std::string* AsText(const TPropValue& v) { return std::get_if<std::string>(&v); }
[[nodiscard]] inline const int* AsInt(const TPropValue& v) { return std::get_if<int>(&v); }
// An integer or real value as a number; nullptr-like false for text and empty.
[[nodiscard]] bool AsNumber(const TPropValue& v, double& number);

// Alignment codes of vertical-align and float (and of the elements' ALIGN).
enum AlignmentType { ANone, ATop, AMiddle, ABaseline, ABottom, ALeft, ARight, AJustify, ASub, ASuper };
// clear.
enum ClearAttrType { ClearNone, ClearLeft, ClearRight, ClearBoth };
// list-style-type, in the order of its keywords.
enum ListBulletType {
  lbBlank, lbCircle, lbDecimal, lbDisc, lbLowerAlpha, lbLowerRoman, lbNone, lbSquare,
  lbUpperAlpha, lbUpperRoman
};
// position.
enum PositionType { posStatic, posAbsolute, posRelative };
// visibility as stored: "hidden" 1, "visible" 2.
enum VisibilityType { viHidden = 1, viVisible = 2 };

// One coordinate of background-position.
enum PositionKind { pTop, pCenter, pBottom, pLeft, pRight, pPercent, pDim };
struct PositionRec {
  PositionKind PosType = pDim;
  int Value = 0;         // percent for pPercent, pixels for pDim
  bool RepeatD = true;   // the background repeats along this axis
};

// The font of a text run in one link state.
struct ThtFontInfo {
  std::string Name;
  int Size = 12;          // points
  TFontStyles Style = 0;  // fsBold, fsItalic, fsUnderline, fsStrikeOut
  TColor Color = 0;
  TColor BGColor = NoColor;
  int CharSet = DEFAULT_CHARSET;
  int CodePage = 0;  // the code page its text reads in; 0: the charset's
};
// Link, visited link, hovered link, hovered visited link.
enum TLinkFont : int { LinkFont, VisitedFont, HoverFont, HoverVisitedFont };
using TFontInfoArray = std::array<ThtFontInfo, 4>;

// Box values: indices BackgroundColor..Left of the property table.
using TVMarginArray = std::array<TPropValue, css::Left + 1>;
using TMarginArray = std::array<int, css::Left + 1>;
struct TBoxValues {
  TMarginArray M{};
  int AutoCount = 0;                  // "auto" left/right margins and width
  bool ParagraphSpaceTop = false;     // margin-top is the automatic paragraph space
  bool ParagraphSpaceBottom = false;  // likewise margin-bottom
};

// Conversions of CSS text, at the screen's 96 pixels per inch.
// A length in pixels: "%" of `Base`; a bare number times `Base` when
// `Relative`, else itself; an unknown unit or an unreadable number gives
// `Default`. Results are limited to +-MaxLength before rounding.
constexpr int MaxLength = 1000000;
[[nodiscard]] int LengthConv(std::string_view text, bool Relative, int Base, int Default, int EmSize,
                             int ExSize);
// A font size in points relative to the parent's size; keywords relative to
// the document default `DefaultSize`. Results lie in 1..MaxFontSize.
constexpr double MaxFontSize = 1000;
[[nodiscard]] double FontSizeConv(std::string_view text, double ParentSize, double DefaultSize);
// Box values in pixels for a containing width and height.
[[nodiscard]] TBoxValues ConvMargArray(const TVMarginArray& VM, int BaseWidth, int BaseHeight, int EmSize,
                                       int ExSize);

// The code page text of a character set is read in; `Current` for a
// character set without one of its own.
[[nodiscard]] int CodePageOfCharSet(int CharSet, int Current);

// The style values of one element or of one style-sheet rule.
class TProperties {
 public:
  TProperties();
  TProperties(const TProperties&) = delete;
  TProperties& operator=(const TProperties&) = delete;
  virtual ~TProperties();

  // The key it was made for (tag name or selector; "default" after Copy) and
  // the element's class, ID and pseudo class ("link" marks a link).
  std::string PropTag, PropClass, PropID, PropPseudo, PropTitle;

  [[nodiscard]] const TPropValue& Props(int index) const {
    return values_->props.at(static_cast<std::size_t>(index));
  }
  [[nodiscard]] bool IsSet(int index) const { return values_->set.at(static_cast<std::size_t>(index)); }
  // Stores a value and marks it set, whether or not it was set before.
  void SetProp(int index, TPropValue value);
  // Stores a value only when the property is not yet set; a link's font
  // infos follow font-family, font-size and color.
  void SetPropertyValue(TPropValue Value, int Index);
  // Stores CSS text as a value by the property's rules (colours read, border
  // styles spread, visibility coded).
  void AddPropertyByIndex(int Index, const std::string& Text);
  // The same by CSS name; unknown names are ignored.
  void AddPropertyByName(std::string_view Name, const std::string& Text);

  // The bottom of the parser's stack: all values of `Source`, its character
  // set, and the key "default".
  void Copy(const TProperties& Source);
  // Everything the cascade computed for `Source` (its values, key, class,
  // ID, pseudo class, link fonts and stamp), for an element styled exactly
  // as it was; not its title, which belongs to one element.
  void TakeComputed(const TProperties& Source);
  // Names the state of these properties: every change gives a new stamp,
  // and properties with equal stamps hold equal values and stand below
  // equally keyed ancestors (TakeComputed copies the stamp).
  [[nodiscard]] std::uint64_t StyleStamp() const { return stamp_; }
  // Takes the inherited values of `Parent` and clears the others; em and ex
  // come from the parent's font.
  void Inherit(const TProperties& Parent);
  // Merges the style sheet's entries for the element into these properties,
  // from the least to the most specific, then the STYLE attribute's. `Stack`
  // holds the open elements (these properties may be its top entry); it is
  // walked for descendant rules.
  void CombineStyle(const TStyleList& Styles, const TPropStack& Stack, const std::string& Tag,
                    const std::string& Class, const std::string& ID, const std::string& Pseudo,
                    const std::string& Title, const TProperties* StyleAttr);
  // Repairs entry `Index` of the stack after an element below it was closed
  // out of order: inherited values it did not set itself come from `Parent`.
  void FillUnset(const TProperties& Parent, const TStyleList& Styles, const TPropStack& Stack,
                 std::size_t Index);

  // The character set in force; its code page comes from the table unless
  // the page names one (an ISO-8859 or KOI8 page: the charset still chooses
  // the font, the text reads in the named code page).
  void AssignCharSet(int CharSet);
  void AssignCharSet(int CharSet, int CodePage);
  [[nodiscard]] int CharSet() const { return charSet_; }
  [[nodiscard]] int CodePage() const { return codePage_; }
  // em and ex of the parent's font: what lengths of this element's own
  // values are measured in.
  [[nodiscard]] int EmSize() const { return emSize_; }
  [[nodiscard]] int ExSize() const { return exSize_; }
  // em and ex of this element's own font (what its children inherit).
  [[nodiscard]] int FontEmSize() const { return MeasuredFont().Em; }
  [[nodiscard]] int FontExSize() const { return MeasuredFont().Ex; }
  // The background colour in force (NoColor when none).
  [[nodiscard]] TColor TheBGColor() const { return bgColor_; }
  // The document default font size keyword sizes are relative to.
  [[nodiscard]] double DefaultFontSize() const { return defaultFontSize_; }
  void SetDefaultFontSize(double points) {
    defaultFontSize_ = points;
    Changed();
  }

  // A copy of the element's font, which the caller owns.
  [[nodiscard]] std::unique_ptr<TMyFont> GetFont();
  // The element's font, kept until a value changes.
  [[nodiscard]] const TMyFont& Font() const;
  [[nodiscard]] ThtFontInfo GetFontInfo() const;
  // Links: the fonts of the four link states (null when not a link).
  [[nodiscard]] bool IsLink() const { return fontInfos_ != nullptr; }
  [[nodiscard]] const TFontInfoArray* FontInfos() const { return fontInfos_.get(); }

  // Value getters.
  void GetBackgroundPos(int EmSize, int ExSize, PositionRec& X, PositionRec& Y) const;
  [[nodiscard]] bool GetVertAlign(AlignmentType& Align) const;
  [[nodiscard]] bool GetFloat(AlignmentType& Align) const;
  [[nodiscard]] bool GetClear(ClearAttrType& Clear) const;
  [[nodiscard]] ListBulletType GetListStyleType() const;
  [[nodiscard]] std::string GetListStyleImage() const;
  [[nodiscard]] PositionType GetPosition() const;
  [[nodiscard]] bool IsHidden() const;
  [[nodiscard]] int GetZIndex() const;
  [[nodiscard]] bool DisplayNone() const;
  // line-height in pixels: a bare number is a multiple of `NewHeight`; 0 when
  // not given.
  [[nodiscard]] int GetLineHeight(int NewHeight) const;
  // text-indent: pixels, or a percentage (then `Percent` is set).
  [[nodiscard]] int GetTextIndent(bool& Percent) const;
  [[nodiscard]] bool GetPageBreakBefore() const;
  [[nodiscard]] bool GetPageBreakAfter() const;
  [[nodiscard]] bool GetPageBreakInside() const;
  // color / background-color when set and a colour, else NoColor.
  [[nodiscard]] TColor GetColor() const;
  [[nodiscard]] TColor GetBackgroundColor() const;
  // The same, also recorded as the background colour in force when set.
  TColor UseBackgroundColor();
  // border-style is given and not "none".
  [[nodiscard]] bool HasBorderStyle() const;
  // background-image: true when given; "none" gives an empty name.
  [[nodiscard]] bool GetBackgroundImage(std::string& Name) const;

  // Box values 8..29 as given, and converted with this element's em and ex.
  void GetVMarginArray(TVMarginArray& VM) const;
  // The same, shared by like elements: blocks keep it, and a block that
  // changes a value makes its own copy first.
  [[nodiscard]] std::shared_ptr<const TVMarginArray> SharedVMarginArray() const;
  [[nodiscard]] TBoxValues GetBoxValues(int BaseWidth, int BaseHeight) const;

 private:
  // The values and which of them the element set itself. Like elements
  // share one table; a change makes this element's own copy first.
  struct TValues {
    std::array<TPropValue, css::PropCount> props;
    std::array<bool, css::PropCount> set{};
    // The box values as of the state stamped boxStamp (equal stamps, equal
    // values), made for the first block and handed to the others.
    mutable std::uint64_t boxStamp = 0;
    mutable std::shared_ptr<const TVMarginArray> box;
  };
  struct FontMetrics {
    int Em = 0;
    int Ex = 0;
  };
  void Changed();
  TValues& OwnValues();
  const TMyFont& CachedFont() const;
  FontMetrics MeasuredFont() const;
  void Merge(const TProperties& source);
  void MergeIntoFontInfos(int index, const TPropValue& value);
  // The link fonts, made this element's own before a change.
  TFontInfoArray& OwnFontInfos();
  // SetPropertyValue's part for the link fonts.
  void MergeIntoLinkFonts(int Index, const TPropValue& Value);
  void MergeDescendantRules(const TStyleList& styles, const std::vector<const TProperties*>& ancestors,
                            const std::string& prefix);
  void BuildLinkFonts(const TStyleList& styles, const std::vector<const TProperties*>& ancestors);
  void CombineWith(const TStyleList& styles, const std::vector<const TProperties*>& ancestors,
                   const std::string& tag, const std::string& cls, const std::string& id,
                   const std::string& pseudo, const TProperties* styleAttr);
  [[nodiscard]] std::string FontName() const;
  [[nodiscard]] double FontSizePoints() const;

  std::shared_ptr<TValues> values_;
  TColor bgColor_ = NoColor;
  int charSet_ = DEFAULT_CHARSET;
  int codePage_;
  int emSize_ = 16;
  int exSize_ = 8;
  double defaultFontSize_ = 12;
  std::string fallbackFontName_;
  // Link fonts and the font are shared with like elements and never changed
  // in place: a change makes this element's own copy.
  std::shared_ptr<TFontInfoArray> fontInfos_;
  mutable std::shared_ptr<const TMyFont> font_;
  mutable std::optional<FontMetrics> fontMetrics_;
  std::uint64_t stamp_ = 0;
};

}  // namespace lark
