// The parser's handlers for lists and list items, image maps and scripts.
#include "html/attribute_list.h"
#include "html/image_map.h"
#include "html/section_list.h"
#include "platform/core/string_routines.h"
#include "viewer/html_parser_state.h"
#include "viewer/script_text.h"
#include "viewer/tag_symbols.h"

namespace lark {

namespace {

const TSymbolSet kListStarts = Symbols({OLSy, ULSy, DirSy, MenuSy, DLSy});
const TSymbolSet kEmptyListEnds = Symbols({OLEndSy, ULEndSy, DirEndSy, MenuEndSy, DLEndSy, BlockQuoteEndSy});
const TSymbolSet kListAndItemTags =
    Symbols({OLSy, OLEndSy, LISy, ULSy, ULEndSy, DirSy, DirEndSy, MenuSy, MenuEndSy, DLSy, DLEndSy, DDSy, DTSy,
             BlockQuoteEndSy});

TListType ListTypeOf(Symb sy) {
  switch (sy) {
    case OLSy: return TListType::Ordered;
    case ULSy: case DirSy: case MenuSy: return TListType::Unordered;
    case DLSy: return TListType::Definition;
    default: return TListType::Outside;
  }
}

}  // namespace

void THtmlParser::DoLists(Symb sy, const TSymbolSet& terminators) {
  if (TooDeep()) return;
  DepthScope scope(depth_);
  int number = 1;
  char numberType = '1';
  bool plain = false;
  if (sy == OLSy) {
    if (const TAttribute* start = Attributes().Find(StartSy); start && start->Value >= 0) number = start->Value;
    if (const TAttribute* type = Attributes().Find(TypeSy); type && !type->Name.empty()) numberType = type->Name[0];
  } else if (sy == ULSy) {
    plain = Attributes().Find(PlainSy) != nullptr;
  }
  const std::string tag = SymbolToTagName(sy);
  const Symb endSy = StartToEndSymbol(sy).value_or(sy);
  const bool isList = sy == OLSy || sy == ULSy || sy == DirSy || sy == MenuSy;
  props_.PushNewProps(tag, &Attributes());
  TCellBasic* outer = cell_;
  TBlock* block = OpenBlock(tag, &Attributes());
  block->MinimumIndent = isList;
  NextSymbol();
  if (!kEmptyListEnds[Sy()]) {
    if (isList) ++listLevel_;
    if (kListStarts[sy]) ++openLists_;
    const TListType kind = ListTypeOf(sy);
    const TSymbolSet divisionTerminators = terminators | kListAndItemTags;
    while (Sy() != EndOfFileSymbol && Sy() != endSy && !terminators[Sy()]) {
      const Symb current = Sy();
      if (current == PSy)
        DoParagraph(terminators);
      else if (kListStarts[current])
        DoLists(current, terminators);
      else if (current == LISy || current == DDSy || current == DTSy) {
        DoListItem(kind, current, number, terminators, plain, numberType);
        number = NextListNumber(number);
      } else if (current == AddressSy || current == BlockQuoteSy)
        DoDivision(terminators);
      else if (current == CenterSy || current == DivSy || current == FormSy)
        DoDivision(divisionTerminators);
      else if (IsTextLevel(current))
        DoTextAndFont(terminators);
      else
        NextSymbol();
    }
    if (isList) --listLevel_;
    if (kListStarts[sy]) --openLists_;
  }
  AddSection();
  if (block->MyCell->Empty()) MarkEmpty(*block);
  props_.PopAProp(tag);
  cell_ = outer;
  if (Sy() == endSy || kEmptyListEnds[Sy()]) NextSymbol();
}

void THtmlParser::DoListItem(TListType kind, Symb sy, int number, const TSymbolSet& terminators, bool plain,
                             char numberType) {
  if (TooDeep()) return;
  DepthScope scope(depth_);
  const std::string tag = SymbolToTagName(sy);
  props_.PushNewProps(tag, &Attributes());
  TCellBasic* outer = cell_;
  OpenBlock<TBlockLI>(tag, &Attributes(), kind, numberType, plain, number, listLevel_);
  reader_.SkipWhiteSpace();
  NextSymbol();
  const bool inList = openLists_ > 0;
  const TSymbolSet divisionTerminators = terminators | kListAndItemTags;
  while (!terminators[Sy()]) {
    const Symb current = Sy();
    if (IsTextLevel(current))
      DoTextAndFont(terminators);
    else if (current == PSy && inList)
      DoParagraph(terminators);
    else if (kListStarts[current])
      DoLists(current, terminators);
    else if (current == AddressSy || current == BlockQuoteSy || current == CenterSy || current == DivSy ||
             current == FormSy)
      DoDivision(divisionTerminators);
    else if (current == UnknownTagSymbol)
      NextSymbol();
    else
      break;
  }
  AddSection();
  props_.PopAProp(tag);
  cell_ = outer;
}

void THtmlParser::DoMap() {
  auto map = std::make_unique<TMapItem>();
  map->MapName = UpperCase(AttributeText(NameSy));
  NextSymbol();
  // A map without its end tag ends at the third symbol that is neither text
  // nor an area, and is dropped.
  int foreign = 0;
  while (Sy() != MapEndSy && Sy() != EndOfFileSymbol && foreign < 3) {
    if (Sy() == AreaSy)
      map->AddArea(Attributes());
    else if (Sy() != TextSymbol)
      ++foreign;
    if (foreign < 3) NextSymbol();
  }
  if (Sy() == MapEndSy) {
    list_.MapList.Add(std::move(map));
    NextSymbol();
  }
}

void THtmlParser::DoScript() {
  const std::string name = AttributeText(NameSy), language = AttributeText(LanguageSy);
  if (!list_.OnScript) {
    ReadScriptText(reader_, nullptr);
    return;
  }
  std::string script;
  ReadScriptText(reader_, &script);
  list_.OnScript(list_.TheOwner, name, language, script);
}

}  // namespace lark
