#pragma once

#include <bitset>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "html/block.h"
#include "html/cell.h"
#include "html/paragraph_section.h"
#include "html/url_target.h"
#include "viewer/html_parser.h"
#include "viewer/html_tokenizer.h"
#include "viewer/parser_prop_stack.h"

namespace lark {

class TSectionList;
class TCellBasic;
class TDocumentForm;
class THtmlFormControl;
class TSelectFormControlObj;
class TTextAreaFormControlObj;

// A set of symbols: the terminators a handler stops at.
using TSymbolSet = std::bitset<256>;
[[nodiscard]] TSymbolSet Symbols(std::initializer_list<Symb> symbols);

// Counts one level of nesting for as long as a handler runs.
class DepthScope {
 public:
  explicit DepthScope(int& depth) : depth_(depth) { ++depth_; }
  ~DepthScope() { --depth_; }
  DepthScope(const DepthScope&) = delete;
  DepthScope& operator=(const DepthScope&) = delete;

 private:
  int& depth_;
};

// ALIGN as text-align: the four values kept, "middle" read as "center".
void AlignAsTextAlign(const TAttributeList& attributes, TProperties& props);

// The state of one parse: the reader, the property stack, where text goes,
// the open link. Each handler starts on the symbol it handles and returns
// on the first symbol it leaves to its caller.
class THtmlParser {
 public:
  THtmlParser(TSectionList& list, THtmlParserHooks hooks);
  THtmlParser(const THtmlParser&) = delete;
  THtmlParser& operator=(const THtmlParser&) = delete;
  ~THtmlParser();

  THtmlDocumentInfo ParseDocument(std::string_view text);
  void ParsePlainText(std::string_view text);

 private:
  // Set-up and the clean end of every parse, however it ends.
  void Begin(std::string_view text, bool plainText);
  void End();
  void NextSymbol() { reader_.NextSymbol(); }
  [[nodiscard]] Symb Sy() const { return reader_.Sy(); }
  [[nodiscard]] TAttributeList& Attributes() { return reader_.Attributes(); }
  [[nodiscard]] std::string AttributeText(Symb which);

  // Sections and cells.
  void OpenSection(TAttributeList* attributes = nullptr);
  void EnsureSection();
  void AddSection();
  void NewFontRun();
  // A block for the element on top of the stack, added to the current cell,
  // whose cell becomes the current one. The caller restores the cell.
  template <typename Block = TBlock, typename... Extra>
  Block* OpenBlock(const std::string& tag, TAttributeList* attributes, Extra&&... extra);
  // How deep blocks are open; past kMaxNestingDepth a start tag reads as
  // if absent.
  [[nodiscard]] bool TooDeep();

  // The block loop and the block-level handlers.
  void DoBody(const TSymbolSet& terminators);
  void DoTitle();
  void DoBodyTag();
  void TakeViewerMargins(TProperties& props);
  // LINK, VLINK, OLINK, TEXT, BGCOLOR, BACKGROUND and the margins of BODY.
  void ApplyBodyAttributes(TProperties& props);
  void ReplaceBodyBlock(TProperties& props);
  void DoParagraph(const TSymbolSet& terminators);
  void DoBase();
  void DoDivision(const TSymbolSet& terminators);
  // FORM and DIV: a block around a block loop that ends at `endSy`.
  void DoBlockElement(const std::string& tag, Symb endSy, const TSymbolSet& terminators);
  // An element block (FORM, a list) that holds nothing keeps a fixed space.
  static constexpr int kEmptyBlockSpace = 14;
  static void MarkEmpty(TBlock& block);
  void DoCenter(const TSymbolSet& terminators);
  void DoLink();
  void DoBgSound();
  void DoMeta();
  void DoStyle();
  void AssignCharSetName(const std::string& name, TProperties& props);

  // Text level.
  [[nodiscard]] static bool IsTextLevel(Symb sy);
  // Text-level symbols that may stand inside a paragraph or a header.
  [[nodiscard]] static bool IsPhrasing(Symb sy);
  void DoTextAndFont(const TSymbolSet& terminators);
  void DoTextStyle(Symb sy);
  void DoFont(Symb sy, bool inPre);
  void DoAnchor();
  void EndLink();
  void DoHeader(const TSymbolSet& terminators);
  void DoBr(const TSymbolSet& terminators);
  // HR: the rule in its box, added to the current cell.
  void DoRule();
  // IMG and PANEL: an object in the text at the tag's position.
  void DoInlineObject(Symb sy);
  // PAGE: a page break between the sections around it.
  void DoPage();
  void DoWbr();
  void DoPre();
  // Preformatted text: one section per line.
  void OpenPreSection();
  void AddPreText(const TokenObj& text);
  // A tag inside PRE; false when it ends the PRE.
  bool DoPreTag(std::vector<TCellBasic*>& outerCells);
  void ClosePreBlock(std::vector<TCellBasic*>& outerCells);
  void DoLists(Symb sy, const TSymbolSet& terminators);
  void DoListItem(TListType kind, Symb sy, int number, const TSymbolSet& terminators, bool plain, char numberType);
  void DoMap();
  void DoScript();

  // Tables (viewer/parser_table_handlers.cpp).
  struct TTableBuild;
  // Tables nest at most this deep; a deeper TABLE reads as if absent.
  static constexpr int kMaxTableDepth = 10;
  void DoTable();
  // A TABLE past the table depth or the nesting limit: true when it is
  // read as absent (and passed over).
  bool LeaveTableOut();
  void ReadTableBody(TTableBuild& build);
  // The block loop in `cell` up to the next tag of the table, passing over
  // the tags of tables left out inside it.
  void ReadTableContent(TCellBasic* cell);
  void OpenTableRow(TTableBuild& build, TAttributeList* attributes);
  void DoTableCell(TTableBuild& build);
  void FinishTableCell(TTableBuild& build);
  void FinishTableRow(TTableBuild& build);
  void DoCaption(TTableBuild& build);
  void CloseTable(TTableBuild& build);
  // Pops the property stack down to `count` entries.
  void PopPropsTo(std::size_t count);

  // Forms (viewer/parser_form_handlers.cpp).
  // FORM's form object becomes the current form; end FORM ends it.
  void OpenForm();
  void EndForm();
  [[nodiscard]] TDocumentForm*& FormForControl();
  // Each form's controls take their initial state, once all are read.
  void ResetForms();
  // INPUT and SELECT; the control for the tag's symbol and attributes.
  void DoFormControl();
  THtmlFormControl* AddFormControl(Symb sy, int codePage);
  void PlaceFormControl(THtmlFormControl& control, int tagPosition, const TProperties& props);
  void DoSelectOptions(TSelectFormControlObj& control);
  void DoTextArea();
  void ReadTextAreaText(TTextAreaFormControlObj& control);

  TSectionList& list_;
  THtmlParserHooks hooks_;
  THtmlReader reader_;
  TParserProps props_;
  // The document as read: the caller's buffer in place, or converted_ once a
  // JIS or EUC-JP page needs its bytes changed.
  std::string_view text_;
  std::string converted_;
  bool eucJpDone_ = false;

  TBodyBlock* body_ = nullptr;
  TCellBasic* cell_ = nullptr;
  std::unique_ptr<TSection> section_;
  TUrlTarget linkTarget_;
  bool inLink_ = false;
  THtmlDocumentInfo info_;
  bool bodyTaken_ = false;
  int baseFontSize_ = 3;
  int listLevel_ = 0;   // numbered and bulleted lists open
  int openLists_ = 0;   // lists of any kind open (DL too): a P in an item is a paragraph only inside one
  int depth_ = 0;
  int tableDepth_ = 0;
  int tablesLeftOut_ = 0;  // TABLE tags read as absent inside the innermost table, still open
  TDocumentForm* form_ = nullptr;       // the open FORM's
  TDocumentForm* looseForm_ = nullptr;  // holds the controls outside any FORM
};

template <typename Block, typename... Extra>
Block* THtmlParser::OpenBlock(const std::string& tag, TAttributeList* attributes, Extra&&... extra) {
  AddSection();
  auto block = std::make_unique<Block>(&list_, attributes, props_.Top(), cell_, tag, std::forward<Extra>(extra)...);
  Block* raw = block.get();
  cell_->Add(std::move(block));
  cell_ = raw->MyCell.get();
  return raw;
}

}  // namespace lark
