#include "html/style_list.h"

#include "html/colors.h"
#include "html/selector.h"
#include "platform/core/string_routines.h"

namespace lark {

namespace {

// Sequence numbers are written with this many digits, so that descendant
// keys of the same element and ancestor count sort in the order the rules
// were added however many there are.
constexpr std::size_t kSequenceDigits = 10;

std::string SequenceText(long long sequence) {
  std::string digits = std::to_string(sequence);
  if (digits.size() < kSequenceDigits) digits.insert(0, kSequenceDigits - digits.size(), '0');
  return digits;
}

}  // namespace

TStyleList::TStyleList(std::function<void()> onHoverStyle) : onHoverStyle_(std::move(onHoverStyle)) {}

TStyleList::~TStyleList() = default;

void TStyleList::Clear() {
  ++version_;
  entries_.clear();
  defProp_ = nullptr;
  sequence_ = 10;
  hoverStyles_ = false;
}

TProperties* TStyleList::AddObject(const std::string& Key, std::unique_ptr<TProperties> Props) {
  ++version_;
  Props->PropTag = Key;
  TProperties* added = Props.get();
  if (defProp_ && Key == "default") defProp_ = added;
  entries_[Key] = std::move(Props);
  return added;
}

TProperties* TStyleList::AddDuplicate(const std::string& Key, const TProperties& Props) {
  auto copy = std::make_unique<TProperties>();
  copy->SetDefaultFontSize(defaultFontSize_);
  for (int i = 0; i < css::PropCount; ++i)
    if (Props.IsSet(i)) copy->SetProp(i, Props.Props(i));
  return AddObject(Key, std::move(copy));
}

TProperties* TStyleList::Find(const std::string& Key) const {
  const auto found = entries_.find(Key);
  return found == entries_.end() ? nullptr : found->second.get();
}

TProperties& TStyleList::Entry(const std::string& key) {
  if (TProperties* existing = Find(key)) return *existing;
  auto props = std::make_unique<TProperties>();
  props->SetDefaultFontSize(defaultFontSize_);
  return *AddObject(key, std::move(props));
}

std::string TStyleList::NextSequence() { return SequenceText(sequence_++); }

void TStyleList::ModifyLinkColor(const std::string& Pseudo, TColor Color) {
  ++version_;
  if (TProperties* entry = Find("::" + Pseudo)) entry->SetProp(css::Color, Color);
}

void TStyleList::AddModifyProp(const std::string& Selector, const std::string& Property, const std::string& Value) {
  const int index = PropertyIndex(LowerCase(Trim(Property)));
  if (index < 0) return;
  ++version_;
  TProperties& entry = Entry(Selector);
  if (index == css::Color) {
    TColor color = 0;
    if (ColorFromString(Value, false, color)) {
      entry.SetProp(index, color);
      if (Selector == ":link") {
        ModifyLinkColor("hover", color);
        ModifyLinkColor("visited", color);
      } else if (Selector == ":visited") {
        ModifyLinkColor("hover", color);
      }
    }
  } else {
    entry.AddPropertyByIndex(index, Value);
  }
  if (Selector.find(":hover") != std::string::npos) {
    hoverStyles_ = true;
    if (onHoverStyle_) onHoverStyle_();
  }
  if (Selector == "a") AddModifyProp("::link", Property, Value);
}

void TStyleList::Initialize(const std::string& fontName, const std::string& preFontName, int marginLeft,
                            int marginTop, int charSet, bool linkUnderline, TColor hoverColor,
                            TColor visitedColor, TColor linkColor, TColor textColor, double defaultSize) {
  Clear();
  defaultFontSize_ = defaultSize;
  const double d = defaultSize;

  TProperties& def = Entry("default");
  def.SetProp(css::FontFamily, fontName);
  def.SetProp(css::FontSize, d);
  def.SetProp(css::FontStyle, std::string("none"));
  def.SetProp(css::FontWeight, std::string("normal"));
  def.SetProp(css::TextAlign, std::string("left"));
  def.SetProp(css::TextDecoration, std::string("none"));
  def.SetProp(css::Color, textColor);
  def.SetProp(css::MarginTop, marginTop);
  def.SetProp(css::MarginBottom, marginTop);
  def.SetProp(css::MarginLeft, marginLeft);
  def.SetProp(css::MarginRight, marginLeft);
  def.SetProp(css::Visibility, int(viVisible));
  def.AssignCharSet(charSet);
  defProp_ = &def;

  TProperties& link = Entry("::link");
  link.SetProp(css::Color, linkColor | PalRelative);
  link.SetProp(css::TextDecoration, std::string(linkUnderline ? "underline" : "none"));
  Entry("::visited").SetProp(css::Color, visitedColor | PalRelative);
  Entry("::hover").SetProp(css::Color, hoverColor | PalRelative);
  Entry("null");

  TProperties& pre = Entry("pre");
  pre.SetProp(css::FontFamily, preFontName);
  pre.SetProp(css::FontSize, d * 10 / 12);
  pre.SetProp(css::FontStyle, std::string("none"));
  pre.SetProp(css::FontWeight, std::string("normal"));
  pre.SetProp(css::TextDecoration, std::string("none"));

  TProperties& p = Entry("p");
  p.SetProp(css::MarginTop, ParagraphSpace);
  p.SetProp(css::MarginBottom, ParagraphSpace);
  // P inside PRE; sequence 0 sorts before every rule of the document's sheets.
  Entry(MakeDescendantKey("pre p", SequenceText(0))).SetProp(css::MarginTop, 0);

  TProperties& ul = Entry("ul");
  ul.SetProp(css::MarginLeft, 35);
  ul.SetProp(css::MarginTop, ParagraphSpace);
  ul.SetProp(css::MarginBottom, ParagraphSpace);
  ul.SetProp(css::ListStyleType, std::string("blank"));
  for (const char* tag : {"ol", "menu", "dir"}) AddDuplicate(tag, ul);

  TProperties& dl = Entry("dl");
  dl.SetProp(css::MarginLeft, 0);
  dl.SetProp(css::MarginTop, 0);
  dl.SetProp(css::MarginBottom, 0);
  dl.SetProp(css::ListStyleType, std::string("none"));
  TProperties& dd = Entry("dd");
  dd.SetProp(css::MarginLeft, 40);
  dd.SetProp(css::MarginTop, 0);
  dd.SetProp(css::MarginBottom, 0);

  TProperties& blockquote = Entry("blockquote");
  blockquote.SetProp(css::MarginLeft, 35);
  blockquote.SetProp(css::MarginTop, ParagraphSpace);
  blockquote.SetProp(css::MarginBottom, 14);

  TProperties& code = Entry("code");
  code.SetProp(css::FontFamily, preFontName);
  code.SetProp(css::FontSize, std::string("0.833em"));
  for (const char* tag : {"tt", "kbd", "samp"}) AddDuplicate(tag, code);

  TProperties& bold = Entry("b");
  bold.SetProp(css::FontWeight, std::string("bold"));
  for (const char* tag : {"strong", "th"}) AddDuplicate(tag, bold);
  TProperties& sup = Entry("sup");
  sup.SetProp(css::FontSize, std::string("75%"));
  AddDuplicate("sub", sup);
  Entry("big").SetProp(css::FontSize, std::string("1.25em"));
  Entry("small").SetProp(css::FontSize, std::string("0.75em"));
  Entry("table").SetProp(css::TextAlign, std::string("none"));
  TProperties& italic = Entry("i");
  italic.SetProp(css::FontStyle, std::string("italic"));
  for (const char* tag : {"em", "cite", "var", "address"}) AddDuplicate(tag, italic);
  Entry("u").SetProp(css::TextDecoration, std::string("underline"));
  TProperties& strike = Entry("s");
  strike.SetProp(css::TextDecoration, std::string("line-through"));
  AddDuplicate("strike", strike);
  TProperties& center = Entry("center");
  center.SetProp(css::TextAlign, std::string("center"));
  AddDuplicate("caption", center);

  TProperties& input = Entry("input");
  input.SetProp(css::FontFamily, std::string("MS sans serif, sans-serif"));
  input.SetProp(css::FontSize, std::string("10pt"));
  input.SetProp(css::FontStyle, std::string("none"));
  input.SetProp(css::FontWeight, std::string("normal"));
  input.SetProp(css::TextAlign, std::string("left"));
  input.SetProp(css::TextDecoration, std::string("none"));
  input.SetProp(css::Color, textColor);
  AddDuplicate("select", input);
  AddDuplicate("textarea", input)->SetProp(css::FontFamily, preFontName);

  TProperties& hr = Entry("hr");
  hr.SetProp(css::MarginLeft, 0);
  hr.SetProp(css::MarginRight, 0);
  hr.SetProp(css::MarginTop, 10);
  hr.SetProp(css::MarginBottom, 10);

  constexpr double kHeadingPoints[] = {24, 18, 14, 12, 10, 8};
  for (int level = 1; level <= 6; ++level) {
    TProperties& heading = Entry("h" + std::to_string(level));
    heading.SetProp(css::FontSize, d / 12 * kHeadingPoints[level - 1]);
    heading.SetProp(css::MarginTop, 19);
    heading.SetProp(css::MarginBottom, 19);
    heading.SetProp(css::FontWeight, std::string("bold"));
  }
  ++version_;
}

}  // namespace lark
