// The parser's table handler: TABLE with its rows, cells and caption.
#include <memory>
#include <utility>

#include "html/attribute_list.h"
#include "html/nesting_limit.h"
#include "html/parser_state.h"
#include "html/section_list.h"
#include "html/table.h"
#include "html/table_box.h"
#include "platform/core/string_routines.h"
#include "viewer/html_parser_state.h"
#include "viewer/tag_symbols.h"

namespace lark {

namespace {

// The tags a table reads itself; the block loops of its cells, its caption
// and the content beside its cells end at each of them, so an unclosed cell
// or caption never swallows the rows after it.
const TSymbolSet kTableTags =
    Symbols({TDSy, TDEndSy, THSy, THEndSy, TRSy, TREndSy, CaptionSy, CaptionEndSy, TableEndSy});

// VALIGN as the cell's code: 1 top, 2 middle, 4 bottom; `otherwise` for none
// or any other value.
int VAlignCode(const TAttributeList* attributes, int otherwise) {
  const TAttribute* valign = attributes ? attributes->Find(VAlignSy) : nullptr;
  if (!valign) return otherwise;
  const std::string value = LowerCase(valign->Name);
  if (value == "top" || value == "baseline") return 1;
  if (value == "middle") return 2;
  if (value == "bottom") return 4;
  return otherwise;
}

// The table box's alignment when it sets none: the text-align in force.
TJustify DefaultTableAlignment(const TProperties& props) {
  const std::string* align = AsText(props.Props(css::TextAlign));
  const std::string value = align ? LowerCase(*align) : std::string();
  if (value == "center") return TJustify::Centre;
  if (value == "right") return TJustify::Right;
  return TJustify::Left;
}

}  // namespace

// One table while it is read. The box joins the outer cell only once the
// table is complete, so that content met beside the cells, which goes to
// the outer cell meanwhile, stands before the table.
struct THtmlParser::TTableBuild {
  TCellBasic* Outer = nullptr;
  std::unique_ptr<TTableBlock> Box;
  ThtmlTable* Table = nullptr;
  std::unique_ptr<TCellList> Row;
  int RowVAlign = 0;
  std::unique_ptr<TCellObj> Cell;
  std::size_t TableLevel = 0;  // the property stack with "table" on top
  std::size_t RowLevel = 0;    // ... with the row's entry on top
  bool OuterNoBreak = false;
  // What the table changes while it is read, given back by CloseTable.
  int SavedDepth = 0, SavedListLevel = 0, SavedLeftOut = 0;
};

bool THtmlParser::LeaveTableOut() {
  const TCellBasic* target = cell_->AddTarget();
  if (tableDepth_ < kMaxTableDepth && target->Depth + 1 + kTableNestingLevels <= kMaxNestingDepth) return false;
  // Read as if the tag were absent: the rows, cells and end tag of this
  // table are passed over by the table that holds it (there is one when
  // the depth is reached), so their content flows into its current cell.
  if (tableDepth_ > 0) ++tablesLeftOut_;
  NextSymbol();
  return true;
}

void THtmlParser::DoTable() {
  if (LeaveTableOut()) return;
  DepthScope tables(tableDepth_);
  EndLink();
  AddSection();
  TTableBuild build;
  build.Outer = cell_;
  build.OuterNoBreak = ParserState().NoBreak;
  build.SavedListLevel = listLevel_;
  build.SavedLeftOut = std::exchange(tablesLeftOut_, 0);
  // The box counts one level and its cells kTableNestingLevels more.
  build.SavedDepth = std::exchange(depth_, depth_ + 1 + kTableNestingLevels);
  const TJustify alignment = DefaultTableAlignment(props_.Top());
  TProperties& props = props_.PushNewProps("table", &Attributes());
  build.TableLevel = props_.Count();
  auto table = std::make_unique<ThtmlTable>(&list_, &Attributes(), build.Outer);
  build.Table = table.get();
  build.Box = std::make_unique<TTableBlock>(&list_, &Attributes(), props, build.Outer, build.Table);
  build.Box->MyCell->Add(std::move(table));
  if (build.Box->Justify == TJustify::Left && build.Box->Floating == TFloating::None) build.Box->Justify = alignment;
  try {
    NextSymbol();
    ReadTableBody(build);
  } catch (...) {
    CloseTable(build);
    throw;
  }
  EndLink();
  CloseTable(build);
  if (Sy() == TableEndSy) NextSymbol();
}

void THtmlParser::ReadTableBody(TTableBuild& build) {
  while (Sy() != TableEndSy && Sy() != EndOfFileSymbol) {
    switch (Sy()) {
      case TDSy: case THSy: DoTableCell(build); break;
      case TDEndSy: case THEndSy:
        FinishTableCell(build);
        NextSymbol();
        break;
      case TRSy: case TREndSy:
        EndLink();
        FinishTableRow(build);
        if (Sy() == TRSy) OpenTableRow(build, &Attributes());
        NextSymbol();
        break;
      case CaptionSy: DoCaption(build); break;
      case CaptionEndSy: NextSymbol(); break;
      default:
        // Content beside the cells goes before the table.
        ReadTableContent(build.Outer);
        AddSection();
        cell_ = build.Outer;
    }
  }
}

void THtmlParser::ReadTableContent(TCellBasic* cell) {
  cell_ = cell;
  for (;;) {
    DoBody(kTableTags);
    if (tablesLeftOut_ == 0 || !kTableTags[Sy()]) return;
    if (Sy() == TableEndSy) --tablesLeftOut_;
    NextSymbol();
  }
}

void THtmlParser::OpenTableRow(TTableBuild& build, TAttributeList* attributes) {
  PopPropsTo(build.TableLevel);
  TProperties& props = props_.PushNewProps("tr", attributes);
  if (attributes) AlignAsTextAlign(*attributes, props);
  build.RowLevel = props_.Count();
  build.Row = std::make_unique<TCellList>(attributes, &props);
  build.RowVAlign = VAlignCode(attributes, 0);
}

void THtmlParser::DoTableCell(TTableBuild& build) {
  EndLink();
  listLevel_ = 0;
  if (build.Row)
    FinishTableCell(build);
  else
    OpenTableRow(build, nullptr);  // an implied row
  PopPropsTo(build.RowLevel);
  TProperties& props = props_.PushNewProps(Sy() == THSy ? "th" : "td", &Attributes());
  AlignAsTextAlign(Attributes(), props);
  build.Cell = std::make_unique<TCellObj>(&list_, &props, &Attributes(), VAlignCode(&Attributes(), build.RowVAlign),
                                          build.Box->MyCell.get());
  // NOWRAP keeps the cell's lines whole unless a pixel width is given; it
  // holds for this cell only.
  const bool noWrap = Attributes().Find(NoWrapSy) && (build.Cell->SpecWd == 0 || build.Cell->SpecWdAsPercent);
  ParserState().NoBreak = build.OuterNoBreak || noWrap;
  reader_.SkipWhiteSpace();
  NextSymbol();
  ReadTableContent(build.Cell->Cell.get());
}

void THtmlParser::FinishTableCell(TTableBuild& build) {
  if (!build.Cell) return;
  AddSection();
  build.Row->Add(std::move(build.Cell));
  cell_ = build.Outer;
  ParserState().NoBreak = build.OuterNoBreak;
}

void THtmlParser::FinishTableRow(TTableBuild& build) {
  FinishTableCell(build);
  if (build.Row) build.Table->Rows.push_back(std::move(build.Row));
  PopPropsTo(build.TableLevel);
}

void THtmlParser::DoCaption(TTableBuild& build) {
  EndLink();
  FinishTableCell(build);
  ParserState().NoBreak = false;
  if (LowerCase(AttributeText(AlignSy)) == "bottom") build.Table->TopCaption = false;
  const std::size_t level = props_.Count();
  props_.PushNewProps("caption", &Attributes());
  reader_.SkipWhiteSpace();
  NextSymbol();
  ReadTableContent(build.Table->CaptionCell->Cell.get());
  AddSection();
  PopPropsTo(level);
  cell_ = build.Outer;
  ParserState().NoBreak = build.OuterNoBreak;
  if (Sy() == CaptionEndSy) NextSymbol();
}

// However the table ends (its end tag, the end of the input, an exception
// on the way), what was read joins the document and the state is restored.
void THtmlParser::CloseTable(TTableBuild& build) {
  FinishTableRow(build);
  PopPropsTo(build.TableLevel - 1);
  cell_ = build.Outer;
  cell_->Add(std::move(build.Box));
  ParserState().NoBreak = build.OuterNoBreak;
  depth_ = build.SavedDepth;
  listLevel_ = build.SavedListLevel;
  tablesLeftOut_ = build.SavedLeftOut;
}

void THtmlParser::PopPropsTo(std::size_t count) {
  while (props_.Count() > count && props_.Count() > 1) props_.PopProps();
}

}  // namespace lark
