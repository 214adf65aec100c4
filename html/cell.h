#pragma once

#include <memory>
#include <string>
#include <vector>

#include "html/free_list.h"
#include "html/indent_manager.h"
#include "html/section_base.h"

namespace lark {

class SelTextCount;

// A vertical list of sections, owned. The queries walk the sections in
// order and stop at the first answer.
class TCellBasic : public TFreeList<TSectionBase> {
 public:
  explicit TCellBasic(TSectionList* master);
  // A cell of the print copy `master`, each section copied in turn.
  TCellBasic(TSectionList* master, const TCellBasic& source);
  // Sections are freed through one work list, never by recursion, however
  // deeply they nest.
  ~TCellBasic() override;
  void Clear() override;

  // Takes a section from the parser; one that would show nothing is freed.
  // A cell deeper than the nesting limit passes it to its FlatTarget.
  void Add(std::unique_ptr<TSectionBase> section);
  // The cell that really takes what is added here.
  [[nodiscard]] TCellBasic* AddTarget() { return FlatTarget ? FlatTarget : this; }
  // Places the cell inside `owner` (a cell of the enclosing box): one level
  // deeper (`levels` deeper for a table's cells); past kMaxNestingDepth it
  // keeps nothing and its sections join the deepest cell allowed, where its
  // box itself is not shown.
  void NestIn(TCellBasic* owner, int levels = 1);

  virtual void GetMinMaxWidth(TCanvas& canvas, int& min, int& max);
  virtual TGuResultType GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                               TFormControlObj*& formControl, std::string& title);

  bool PtInObject(int x, int y, TObject*& obj, int& ix, int& iy);
  int FindCursor(TCanvas& canvas, int x, int y, int& xr, int& yr, int& caretHt, bool& inText);
  int FindString(int from, const std::string& toFind, bool matchCase, int& matchEnd);
  int FindSourcePos(int docPos);
  int FindDocPos(int sourcePos, bool prev);
  bool CursorToXY(TCanvas& canvas, int cursor, int& x, int& y);
  bool GetChAtPos(int pos, char32_t& ch, TObject*& obj);
  void CopyToClipboard();
  // The bottom margin of the last block (absolutely positioned ones passed
  // over), when it is a default that may collapse, becomes 0; true then.
  bool ClearLastBottomMargin();

  TSectionList* MasterList;
  std::string OwnersTag;  // the tag of the element the cell belongs to
  int YValue = 0;
  int StartCurs = 0;
  int Len = 0;
  // The boxes around the cell: 0 for the document, at most kMaxNestingDepth
  // (a cell past the limit counts as the one that takes its sections).
  int Depth = 0;
  // Set when the cell would lie deeper than the limit: the cell that takes
  // its sections instead.
  TCellBasic* FlatTarget = nullptr;

 protected:
  // Lays out every section from y down; the height they take.
  int LayOutSections(TCanvas& canvas, IndentManager& iMgr, int y, int width, int aHeight, int& scrollWidth,
                     int& curs);
  // Lays out section `index`; a section that raises EProcessError is
  // reported, freed and taken out, leaving the layout state as it was.
  // Returns false when the section was dropped.
  bool LayOutSection(std::size_t index, TCanvas& canvas, IndentManager& iMgr, int x, int y, int xRef, int yRef,
                     int width, int aHeight, int& maxWidth, int& curs, int& height);

 private:
  // Boxes made past the nesting limit, whose content joined this cell.
  std::vector<std::unique_ptr<TSectionBase>> flattenedBoxes_;
};

// A cell whose floats are kept apart from those of other cells. Its indents
// live only while it is laid out (or drawn): a cell keeps none between
// passes, which spares every table cell their weight.
class TCell : public TCellBasic {
 public:
  using TCellBasic::TCellBasic;
  virtual int DoLogic(TCanvas& canvas, int y, int width, int aHeight, int& scrollWidth, int& curs);
  virtual int Draw(TCanvas& canvas, const TRect& aRect, int clipWidth, int x, int y, int xRef, int yRef);

  int Width = 0;
  int DrawYY = 0;
};

}  // namespace lark
