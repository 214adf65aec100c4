#pragma once

#include <memory>
#include <string>
#include <vector>

#include "html/block_background.h"
#include "html/cell.h"
#include "html/properties.h"
#include "html/section_base.h"

namespace lark {

class TAttributeList;
class TImageObj;

enum class TFloating : std::uint8_t { None = 0, Left = 5, Right = 6 };
enum class TPositioning : std::uint8_t { Static = 0, Absolute = 1, Relative = 2 };
// Whether a block's margins collapse as it is made, or later in the
// constructor of a derived box that adjusts them first.
enum class TMarginCollapse : std::uint8_t { Now, Later };

// The cell inside a block: its sections are laid out in the indent manager
// of the cell that holds the block, so floats reach across blocks.
class TBlockCell : public TCellBasic {
 public:
  using TCellBasic::TCellBasic;
  // Lays the content out at (x, y) for `width`; returns its height. Records
  // the band the content paints in and the bottom of its flow content.
  int DoLogicX(TCanvas& canvas, int x, int y, int xRef, int yRef, int width, int aHeight, IndentManager& iMgr,
               int& maxWidth, int& curs);

  int TextureTop = 0;  // the lowest DrawTop of the sections
  int TextureBot = 0;  // the highest DrawBot
  int CellContentBot = 0;  // the highest ContentBot of sections in the flow
};

// The box of a block-level element: margins (collapsing), borders,
// padding, width, background colour, float, clear, positioning, z-order,
// visibility and page breaks, around a cell with the element's content.
class TBlock : public TSectionBase {
 public:
  // `ownerCell` is the cell the block is about to be added to; the margins
  // collapse against its last section.
  TBlock(TSectionList* masterList, TAttributeList* attributes, TProperties& props, TCellBasic* ownerCell,
         const std::string& tag);
  TBlock(TSectionList* masterList, const TBlock& source);

  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override;
  int Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) override;
  void MinMaxWidth(TCanvas& canvas, int& min, int& max) override;
  TGuResultType GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                       TFormControlObj*& formControl, std::string& title) override;
  bool PtInObject(int x, int y, TObject*& obj, int& ix, int& iy) override;
  int FindCursor(TCanvas& canvas, int x, int y, int& xr, int& yr, int& caretHt, bool& inText) override;
  int FindString(int from, const std::string& toFind, bool matchCase, int& matchEnd) override;
  int FindSourcePos(int docPos) override;
  int FindDocPos(int sourcePos, bool prev) override;
  bool CursorToXY(TCanvas& canvas, int cursor, int& x, int& y) override;
  bool GetChAtPos(int pos, char32_t& ch, TObject*& obj) override;
  void CopyToClipboard() override;
  void AddSectionsToList() override;

  // The content width for the room `aWidth`; `autoCount` of width and the
  // side margins are auto.
  virtual int FindWidth(TCanvas& canvas, int aWidth, int autoCount, int aHeight);

  std::unique_ptr<TBlockCell> MyCell;
  TCellBasic* OwnerCell;  // the cell the block joins (the deepest one allowed, past the nesting limit)
  // Box values as styled: like blocks share one table, never changed in
  // place (a block setting a value takes a copy; few do).
  [[nodiscard]] const TVMarginArray& MarginArray() const { return *marginArray_; }
  void SetMarginValue(int index, TPropValue value);
  int EmSize = 16, ExSize = 8;
  // Converted at layout; the vertical margins as collapsed at creation.
  TMarginArray MargArray{};
  int MarginTop = 0, MarginBottom = 0;
  bool CollapseBottomMargin = false;  // the bottom margin is a default that may go
  bool MinimumIndent = false;         // list-like boxes keep content 35 pixels in
  TFloating Floating = TFloating::None;
  ClearAttrType ClearAttr = ClearNone;
  TPositioning Positioning = TPositioning::Static;
  int LeftP = AutoValue, TopP = AutoValue;  // left and top offsets
  bool Hidden = false;
  bool DisplayNone = false;
  bool BreakBefore = false, BreakAfter = false, AvoidBreakInside = false;
  TColor BgColor = clNone;
  std::unique_ptr<TBlockBackground> Background;  // the background picture, when one is named
  TColor BorderColor = clNone;  // clNone: the text colour
  TColor TextColor = clBlack;
  std::string Title;
  std::string TagClass;  // parent tag, ".", tag: how list children are known
  // Sections of the cell by z-order: negative ones first, then the flow.
  std::vector<TSectionBase*> DrawList;
  TRect BoxRect;  // the border box of the last paint
  int ClearAddon = 0;
  int ContentWidth = 0;
  int ContentLeft = 0;  // content X relative to the block's X at layout
  int ContentY = 0;

 protected:
  TBlock(TSectionList* masterList, TAttributeList* attributes, TProperties& props, TCellBasic* ownerCell,
         const std::string& tag, TMarginCollapse collapse);
  // The vertical margins from MarginArray, collapsed with the previous block.
  void InitMargins();
  [[nodiscard]] int BorderAndPaddingWidth() const;
  void DrawBox(TCanvas& canvas, const TRect& aRect, int x, int y);
  // Margins collapse against the previous section of the owner cell.
  void CollapseMargins(const TBoxValues& box);
  [[nodiscard]] bool Positioned() const { return Positioning == TPositioning::Absolute; }
  // Page breaks on a printing copy: true when the block waits for the next page.
  bool HandlePageBreaks(TSectionList& list, int pageHeight);

  std::shared_ptr<const TVMarginArray> marginArray_;
  int layoutX_ = 0;  // the X the block was laid out at
  int boxTop_ = 0, boxBottom_ = 0;  // the border box's top and bottom in the document
};

// The BODY box: its content spans the whole width less its own box.
class TBodyBlock : public TBlock {
 public:
  using TBlock::TBlock;
  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;
  int FindWidth(TCanvas& canvas, int aWidth, int autoCount, int aHeight) override;
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override;
  std::string DocumentTitle;
};

// List kinds and marker styles of list items.
enum class TListType : std::uint8_t { Ordered = 1, Unordered = 2, Definition = 3, Outside = 4 };

// The number after `n` for the next item; saturates instead of overflowing.
[[nodiscard]] int NextListNumber(int n);
// The marker text of item `n` in a numbered style ("3.", "c.", "iii.");
// numbers below 1 are written as decimal numbers.
[[nodiscard]] std::string ListMarkerText(ListBulletType style, int n);

// A list item: a block with a bullet or number left of its first line.
class TBlockLI : public TBlock {
 public:
  // listTypeChar: the OL TYPE letter ("1", "a", "A", "i", "I"); plain: UL
  // items without bullets; level: the list nesting depth.
  TBlockLI(TSectionList* masterList, TAttributeList* attributes, TProperties& props, TCellBasic* ownerCell,
           const std::string& tag, TListType listType, char listTypeChar, bool plain, int listNumber, int level);
  TBlockLI(TSectionList* masterList, const TBlockLI& source);
  ~TBlockLI() override;
  [[nodiscard]] std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const override;
  int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight, IndentManager& iMgr,
                int& maxWidth, int& curs) override;
  int Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef) override;

  TListType ListType;
  ListBulletType ListStyle = lbDisc;
  int ListNumber = 1;
  TFont BulletFont;
  // The list-style image, drawn instead of the marker once its picture is
  // there; dropped when it cannot be had.
  std::unique_ptr<TImageObj> Image;
  int FirstLineY = 0;  // baseline of the first line, from the last layout

 private:
  void DrawMarker(TCanvas& canvas, int contentX, int baseline);
};

}  // namespace lark
