#include "html/section_style.h"

#include <unordered_map>

#include "html/attribute_list.h"
#include "html/parser_state.h"
#include "html/section_list.h"
#include "platform/graphics/gdi.h"
#include "platform/core/string_routines.h"

namespace lark {

TRunFont RunFontOf(TProperties& props) {
  const TMyFont& font = props.Font();
  TRunFont run;
  run.Font = font;
  run.BgColor = font.bgColor;
  return run;
}

TLinkFonts LinkFontsOf(const TFontInfoArray& infos) {
  TLinkFonts fonts;
  for (std::size_t k = 0; k < infos.size(); ++k) {
    TFont& font = fonts[k].Font;
    font.SetName(infos[k].Name);
    font.SetSize(infos[k].Size);
    font.SetStyle(infos[k].Style);
    font.SetColor(infos[k].Color);
    font.SetCharset(infos[k].CharSet);
    font.SetCodePage(infos[k].CodePage);
    fonts[k].BgColor = infos[k].BGColor;
  }
  // The array's order is link, visited, hover, visited + hover already.
  return fonts;
}

std::shared_ptr<const TRunFont> SharedRunFontOf(TProperties& props) {
  // As the link fonts below: one run font per stamp, shared by the runs.
  constexpr std::size_t kMaxSharedRunFonts = 1024;
  thread_local std::unordered_map<std::uint64_t, std::shared_ptr<const TRunFont>> byStamp;
  if (const auto found = byStamp.find(props.StyleStamp()); found != byStamp.end()) return found->second;
  if (byStamp.size() >= kMaxSharedRunFonts) byStamp.clear();
  auto font = std::make_shared<const TRunFont>(RunFontOf(props));
  byStamp.emplace(props.StyleStamp(), font);
  return font;
}

std::shared_ptr<const TLinkFonts> SharedLinkFontsOf(const TProperties& props) {
  // Properties of one stamp have one set of link fonts: the links of a
  // page share a few, kept here, kMaxSharedLinkFonts of them (then the
  // table starts again).
  constexpr std::size_t kMaxSharedLinkFonts = 1024;
  thread_local std::unordered_map<std::uint64_t, std::shared_ptr<const TLinkFonts>> byStamp;
  if (const auto found = byStamp.find(props.StyleStamp()); found != byStamp.end()) return found->second;
  if (byStamp.size() >= kMaxSharedLinkFonts) byStamp.clear();
  auto fonts = std::make_shared<const TLinkFonts>(LinkFontsOf(*props.FontInfos()));
  byStamp.emplace(props.StyleStamp(), fonts);
  return fonts;
}

namespace {

// The paragraph style of properties with the text indent of a first line.
TParagraphStyle FirstLineStyleOf(TProperties& props) {
  TParagraphStyle style;
  const std::string* align = AsText(props.Props(css::TextAlign));
  const std::string text = align ? LowerCase(*align) : "";
  if (text == "right") style.Justify = TJustify::Right;
  else if (text == "center") style.Justify = TJustify::Centre;
  else if (text == "justify") style.Justify = TJustify::FullJustify;
  ClearAttrType clear = ClearNone;
  if (props.GetClear(clear)) style.ClearAttr = static_cast<TClearAttr>(clear);
  TEXTMETRIC metrics;
  GetFontMetrics(props.Font(), metrics);
  style.LineHeight = props.GetLineHeight(metrics.tmHeight + metrics.tmExternalLeading);
  style.TextIndent = props.GetTextIndent(style.TextIndentPercent);
  return style;
}

}  // namespace

TParagraphStyle ParagraphStyleOf(TProperties& props, bool firstLine) {
  // As the run fonts below: one style per stamp, kMaxParagraphStyles of them
  // kept (then the table starts again).
  constexpr std::size_t kMaxParagraphStyles = 1024;
  thread_local std::unordered_map<std::uint64_t, TParagraphStyle> byStamp;
  auto found = byStamp.find(props.StyleStamp());
  if (found == byStamp.end()) {
    if (byStamp.size() >= kMaxParagraphStyles) byStamp.clear();
    found = byStamp.emplace(props.StyleStamp(), FirstLineStyleOf(props)).first;
  }
  TParagraphStyle style = found->second;
  if (!firstLine) {
    style.TextIndent = 0;
    style.TextIndentPercent = false;
  }
  return style;
}

TClearAttr ClearAttributeOf(const TAttributeList* attributes) {
  const TAttribute* clear = attributes ? attributes->Find(ClearSy) : nullptr;
  if (!clear) return ClearNothing;
  const std::string value = LowerCase(clear->Name);
  if (value == "left") return ClearLeftSide;
  if (value == "right") return ClearRightSide;
  return ClearBothSides;
}

namespace {

TScript ParserScript() {
  switch (ParserState().SScript) {
    case TScriptState::Subscript: return TScript::Sub;
    case TScriptState::Superscript: return TScript::Super;
    default: return TScript::Normal;
  }
}

}  // namespace

TFontObj* ChangeFont(TSection& section, TProperties& props, const TUrlTarget* anUrl) {
  TFontObj* run = section.AddFont(SharedRunFontOf(props), props.PropTitle, ParserScript());
  if (anUrl && !anUrl->URL.empty() && props.FontInfos())
    section.SetLink(*run, *anUrl, SharedLinkFontsOf(props));
  return run;
}

std::unique_ptr<TSection> CreateSection(TSectionList* masterList, TAttributeList* attributes, TProperties& props,
                                        const TUrlTarget* anUrl, bool firstLine) {
  TParagraphStyle style = ParagraphStyleOf(props, firstLine);
  ClearAttrType clear = ClearNone;
  const TClearAttr attributeClear = ClearAttributeOf(attributes);
  if (attributeClear != ClearNothing && !props.GetClear(clear)) style.ClearAttr = attributeClear;
  auto section = std::make_unique<TSection>(masterList, style, SharedRunFontOf(props), props.PropTitle);
  ChangeFont(*section, props, anUrl);
  if (attributes && masterList && masterList->IDNameList) {
    const std::string id = attributes->GetID();
    if (!id.empty()) masterList->IDNameList->AddObject(id, section.get());
  }
  return section;
}

}  // namespace lark
