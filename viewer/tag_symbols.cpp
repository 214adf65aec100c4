#include "viewer/tag_symbols.h"

#include <array>
#include <cstdint>

#include "platform/core/string_routines.h"

namespace lark {

namespace {

// Searched in this order; the first 51 have end tags.
constexpr std::array<TagSymbols, 71> kTags = {{
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

// An index over a name table: open addressing over slots that hold the
// names themselves, so a lookup touches one small block of memory. A name is
// entered only the first time it occurs, so a lookup answers as a search of
// the table in order would.
template <typename TableEntry>
class NameIndex {
 public:
  template <std::size_t N>
  explicit NameIndex(const std::array<TableEntry, N>& table) {
    static_assert(N < kSlots / 2, "keep the index sparse");
    for (const TableEntry& entry : table) {
      if (Find(entry.Name)) continue;
      std::size_t i = Hash(entry.Name);
      while (slots_[i].Found) i = (i + 1) % kSlots;
      Slot& slot = slots_[i];
      entry.Name.copy(slot.Name, kLongest);
      slot.Length = static_cast<std::uint8_t>(entry.Name.size());
      slot.Found = &entry;
    }
  }

  [[nodiscard]] const TableEntry* Find(std::string_view name) const {
    if (name.empty() || name.size() > kLongest) return nullptr;
    for (std::size_t i = Hash(name);; i = (i + 1) % kSlots) {
      const Slot& slot = slots_[i];
      if (!slot.Found) return nullptr;
      if (slot.Length == name.size() && Same(slot.Name, name)) return slot.Found;
    }
  }

 private:
  static constexpr std::size_t kSlots = 256;
  static constexpr std::size_t kLongest = 16;  // BORDERCOLORLIGHT

  struct Slot {
    char Name[kLongest] = {};
    std::uint8_t Length = 0;
    const TableEntry* Found = nullptr;
  };

  static std::size_t Hash(std::string_view name) {
    const auto at = [&](std::size_t i) { return static_cast<std::size_t>(static_cast<unsigned char>(name[i])); };
    return (name.size() * 37 + at(0) * 11 + at(name.size() - 1) * 5 + at(name.size() / 2)) % kSlots;
  }
  // Table names are short: a plain loop beats a call to memcmp.
  static bool Same(const char* slotName, std::string_view name) {
    for (std::size_t i = 0; i < name.size(); ++i)
      if (slotName[i] != name[i]) return false;
    return true;
  }

  std::array<Slot, kSlots> slots_{};
};

const TagSymbols* FindTag(std::string_view upperName) {
  static const NameIndex<TagSymbols> index(kTags);
  return index.Find(upperName);
}

}  // namespace

const TagSymbols* LookupTag(std::string_view upperName) { return FindTag(upperName); }

Symb LookupAttribute(std::string_view upperName) {
  static const NameIndex<AttributeEntry> index(kAttributes);
  const AttributeEntry* entry = index.Find(upperName);
  return entry ? entry->Symbol : UnknownAttributeSymbol;
}

std::string SymbolToTagName(Symb sy) {
  for (const TagSymbols& entry : kTags)
    if (entry.Start == sy) return LowerCase(entry.Name);
  return {};
}

std::string EndSymbolToTagName(Symb sy) {
  for (const TagSymbols& entry : kTags)
    if (entry.End == sy) return LowerCase(entry.Name);
  return {};
}

std::optional<Symb> StartToEndSymbol(Symb sy) {
  for (const TagSymbols& entry : kTags)
    if (entry.Start == sy) return entry.End;
  return std::nullopt;
}

}  // namespace lark
