#include "viewer/tag_symbols.h"

#include <array>
#include <algorithm>
#include <vector>

#include "platform/core/string_routines.h"

namespace lark {

namespace {

struct TagEntry {
  std::string_view Name;
  Symb Start;
  std::optional<Symb> End;
};

// Searched in this order; the first 51 have end tags.
constexpr std::array<TagEntry, 71> kTags = {{
    {"HTML", HtmlSy, HtmlEndSy}, {"TITLE", TitleSy, TitleEndSy}, {"BODY", BodySy, BodyEndSy},
    {"HEAD", HeadSy, HeadEndSy}, {"B", BSy, BEndSy}, {"I", ISy, IEndSy},
    {"H", HeadingSy, HeadingEndSy}, {"EM", EmSy, EmEndSy}, {"STRONG", StrongSy, StrongEndSy},
    {"U", USy, UEndSy}, {"CITE", CiteSy, CiteEndSy}, {"VAR", VarSy, VarEndSy},
    {"TT", TTSy, TTEndSy}, {"CODE", CodeSy, CodeEndSy}, {"KBD", KbdSy, KbdEndSy},
    {"SAMP", SampSy, SampEndSy}, {"OL", OLSy, OLEndSy}, {"UL", ULSy, ULEndSy},
    {"DIR", DirSy, DirEndSy}, {"MENU", MenuSy, MenuEndSy}, {"DL", DLSy, DLEndSy},
    {"A", ASy, AEndSy}, {"ADDRESS", AddressSy, AddressEndSy},
    {"BLOCKQUOTE", BlockQuoteSy, BlockQuoteEndSy}, {"PRE", PreSy, PreEndSy},
    {"CENTER", CenterSy, CenterEndSy}, {"TABLE", TableSy, TableEndSy}, {"TD", TDSy, TDEndSy},
    {"TH", THSy, THEndSy}, {"CAPTION", CaptionSy, CaptionEndSy}, {"FORM", FormSy, FormEndSy},
    {"TEXTAREA", TextAreaSy, TextAreaEndSy}, {"SELECT", SelectSy, SelectEndSy},
    {"OPTION", OptionSy, OptionEndSy}, {"FONT", FontSy, FontEndSy}, {"SUB", SubSy, SubEndSy},
    {"SUP", SupSy, SupEndSy}, {"BIG", BigSy, BigEndSy}, {"SMALL", SmallSy, SmallEndSy},
    {"P", PSy, PEndSy}, {"MAP", MapSy, MapEndSy}, {"FRAMESET", FrameSetSy, FrameSetEndSy},
    {"NOFRAMES", NoFramesSy, NoFramesEndSy}, {"SCRIPT", ScriptSy, ScriptEndSy},
    {"DIV", DivSy, DivEndSy}, {"S", SSy, SEndSy}, {"STRIKE", StrikeSy, StrikeEndSy},
    {"TR", TRSy, TREndSy}, {"NOBR", NoBrSy, NoBrEndSy}, {"STYLE", StyleSy, StyleEndSy},
    {"SPAN", SpanSy, SpanEndSy},
    {"LI", LISy, {}}, {"BR", BRSy, {}}, {"HR", HRSy, {}}, {"DD", DDSy, {}}, {"DT", DTSy, {}},
    {"IMG", ImageSy, {}}, {"BASE", BaseSy, {}}, {"BUTTON", ButtonSy, {}}, {"INPUT", InputSy, {}},
    {"SELECTED", SelectedSy, {}}, {"BASEFONT", BaseFontSy, {}}, {"AREA", AreaSy, {}},
    {"FRAME", FrameSy, {}}, {"PAGE", PageSy, {}}, {"BGSOUND", BgSoundSy, {}}, {"WRAP", WrapSy, {}},
    {"META", MetaSy, {}}, {"PANEL", PanelSy, {}}, {"WBR", WbrSy, {}}, {"LINK", LinkSy, {}},
}};

struct AttributeEntry {
  std::string_view Name;
  Symb Symbol;
};

constexpr std::array<AttributeEntry, 72> kAttributes = {{
    {"HREF", HrefSy}, {"NAME", NameSy}, {"SRC", SrcSy}, {"ALT", AltSy}, {"ALIGN", AlignSy},
    {"TEXT", TextSy}, {"BGCOLOR", BGColorSy}, {"LINK", LinkSy}, {"BACKGROUND", BackgroundSy},
    {"COLSPAN", ColSpanSy}, {"ROWSPAN", RowSpanSy}, {"BORDER", BorderSy},
    {"CELLPADDING", CellPaddingSy}, {"CELLSPACING", CellSpacingSy}, {"VALIGN", VAlignSy},
    {"WIDTH", WidthSy}, {"START", StartSy}, {"VALUE", ValueSy}, {"TYPE", TypeSy},
    {"CHECKBOX", CheckBoxSy}, {"RADIO", RadioSy}, {"METHOD", MethodSy}, {"ACTION", ActionSy},
    {"CHECKED", CheckedSy}, {"SIZE", SizeSy}, {"MAXLENGTH", MaxLengthSy}, {"COLS", ColsSy},
    {"ROWS", RowsSy}, {"MULTIPLE", MultipleSy}, {"SELECTED", SelectedSy}, {"FACE", FaceSy},
    {"COLOR", ColorSy}, {"TRANSP", TranspSy}, {"CLEAR", ClearSy}, {"ISMAP", IsMapSy},
    {"BORDERCOLOR", BorderColorSy}, {"USEMAP", UseMapSy}, {"SHAPE", ShapeSy},
    {"COORDS", CoordsSy}, {"NOHREF", NoHrefSy}, {"HEIGHT", HeightSy}, {"PLAIN", PlainSy},
    {"TARGET", TargetSy}, {"NORESIZE", NoResizeSy}, {"SCROLLING", ScrollingSy},
    {"HSPACE", HSpaceSy}, {"LANGUAGE", LanguageSy}, {"FRAMEBORDER", FrameBorderSy},
    {"MARGINWIDTH", MarginWidthSy}, {"MARGINHEIGHT", MarginHeightSy}, {"LOOP", LoopSy},
    {"ONCLICK", OnClickSy}, {"WRAP", WrapSy}, {"NOSHADE", NoShadeSy}, {"HTTP-EQUIV", HttpEqSy},
    {"CONTENT", ContentSy}, {"ENCTYPE", EncTypeSy}, {"VLINK", VLinkSy}, {"OLINK", OLinkSy},
    {"ACTIVE", ActiveSy}, {"VSPACE", VSpaceSy}, {"CLASS", ClassSy}, {"ID", IDSy},
    {"STYLE", StyleSy}, {"REL", RelSy}, {"REV", RevSy}, {"NOWRAP", NoWrapSy},
    {"BORDERCOLORLIGHT", BorderColorLightSy}, {"BORDERCOLORDARK", BorderColorDarkSy},
    {"CHARSET", CharSetSy}, {"RATIO", RatioSy}, {"TITLE", TitleSy},
}};

// An index over a name table: names bucketed by length and first letter,
// each bucket in table order, so a lookup answers as a search of the table in
// order would, after a comparison or two.
// Table names are short: a plain loop beats a call to memcmp.
bool SameTail(std::string_view a, std::string_view b) {
  for (std::size_t i = 1; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

template <typename Entry>
class NameIndex {
 public:
  template <std::size_t N>
  explicit NameIndex(const std::array<Entry, N>& table) {
    for (const Entry& entry : table) buckets_[Bucket(entry.Name)].push_back(&entry);
  }

  [[nodiscard]] const Entry* Find(std::string_view name) const {
    if (name.empty()) return nullptr;
    // Names of a bucket have the same length and first letter.
    for (const Entry* entry : buckets_[Bucket(name)])
      if (entry->Name.size() == name.size() && SameTail(entry->Name, name)) return entry;
    return nullptr;
  }

 private:
  static constexpr std::size_t kLengths = 20;
  static std::size_t Bucket(std::string_view name) {
    return std::min(name.size(), kLengths - 1) * 32 + (static_cast<unsigned char>(name[0]) & 31);
  }

  std::array<std::vector<const Entry*>, kLengths * 32> buckets_;
};

const TagEntry* FindTag(std::string_view upperName) {
  static const NameIndex<TagEntry> index(kTags);
  return index.Find(upperName);
}

}  // namespace

std::optional<TagSymbols> LookupTag(std::string_view upperName) {
  const TagEntry* entry = FindTag(upperName);
  if (!entry) return std::nullopt;
  return TagSymbols{entry->Start, entry->End};
}

Symb LookupAttribute(std::string_view upperName) {
  static const NameIndex<AttributeEntry> index(kAttributes);
  const AttributeEntry* entry = index.Find(upperName);
  return entry ? entry->Symbol : UnknownAttributeSymbol;
}

std::string SymbolToTagName(Symb sy) {
  for (const TagEntry& entry : kTags)
    if (entry.Start == sy) return LowerCase(entry.Name);
  return {};
}

std::string EndSymbolToTagName(Symb sy) {
  for (const TagEntry& entry : kTags)
    if (entry.End == sy) return LowerCase(entry.Name);
  return {};
}

std::optional<Symb> StartToEndSymbol(Symb sy) {
  for (const TagEntry& entry : kTags)
    if (entry.Start == sy) return entry.End;
  return std::nullopt;
}

}  // namespace lark
