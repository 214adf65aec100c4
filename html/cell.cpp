#include "html/cell.h"

#include <algorithm>

#include "html/block.h"
#include "html/document_coordinates.h"
#include "html/nesting_limit.h"
#include "html/section_list.h"
#include "html/url_target.h"

namespace lark {

namespace {

// Sections of freed cells wait here for their turn: a block's destructor
// frees its cell, whose sections join the stack instead of being freed
// inside that destructor, so the stack of calls stays flat at any depth.
// Siblings are freed in order, first to last (they wait in reverse), each
// with what it holds before the next. The waiting list lives in the
// outermost call only: a thread_local one would be destroyed at exit before
// documents that static owners free after it.
using TReleaseStack = std::vector<std::unique_ptr<TSectionBase>>;

void Release(std::vector<std::unique_ptr<TSectionBase>> sections) {
  thread_local TReleaseStack* draining = nullptr;
  if (draining) {  // the outer call frees them
    for (auto it = sections.rbegin(); it != sections.rend(); ++it) draining->push_back(std::move(*it));
    return;
  }
  std::reverse(sections.begin(), sections.end());
  TReleaseStack waiting = std::move(sections);
  draining = &waiting;
  while (!waiting.empty()) {
    std::unique_ptr<TSectionBase> next = std::move(waiting.back());
    waiting.pop_back();
    next.reset();
  }
  draining = nullptr;
}

}  // namespace

TCellBasic::TCellBasic(TSectionList* master) : MasterList(master) {}

TCellBasic::TCellBasic(TSectionList* master, const TCellBasic& source)
    : MasterList(master), OwnersTag(source.OwnersTag), Depth(source.Depth) {
  // Copies recurse, but only as deep as the nesting limit lets a cell be.
  for (const auto& section : source) TFreeList::Add(section->CreateCopy(master));
}

TCellBasic::~TCellBasic() {
  Release(TakeAll());
  Release(std::move(flattenedBoxes_));
}

void TCellBasic::Clear() {
  Release(TakeAll());
  Release(std::exchange(flattenedBoxes_, {}));
}

void TCellBasic::NestIn(TCellBasic* owner, int levels) {
  TCellBasic* target = owner ? owner->AddTarget() : nullptr;
  Depth = target ? target->Depth + levels : levels;
  if (Depth <= kMaxNestingDepth) return;
  FlatTarget = target;
  Depth = target->Depth;
}

void TCellBasic::Add(std::unique_ptr<TSectionBase> section) {
  if (!section) return;
  if (FlatTarget) {
    FlatTarget->Add(std::move(section));
    return;
  }
  if (const auto* block = dynamic_cast<const TBlock*>(section.get()); block && block->MyCell->FlatTarget) {
    // A box past the nesting limit is not shown: its content stands here
    // without it. It is kept only because whoever builds the document may
    // still add to its cell (which passes everything here).
    flattenedBoxes_.push_back(std::move(section));
    return;
  }
  if (!section->KeepInCell()) return;  // freed here; it takes itself out of the document's lists
  section->ParentSectionList = MasterList;
  TFreeList::Add(std::move(section));
}

bool TCellBasic::LayOutSection(std::size_t index, TCanvas& canvas, IndentManager& iMgr, int x, int y, int xRef,
                               int yRef, int width, int aHeight, int& maxWidth, int& curs, int& height) {
  const TLayoutState saved = MasterList->SaveLayoutState(iMgr, curs);
  try {
    height = Items(index)->DrawLogic(canvas, x, y, xRef, yRef, width, aHeight, iMgr, maxWidth, curs);
    return true;
  } catch (const EProcessError& error) {
    MasterList->LayoutErrors.push_back(error.Message);
    Delete(index);
    MasterList->RestoreLayoutState(saved, iMgr, curs);
    return false;
  }
}

int TCellBasic::LayOutSections(TCanvas& canvas, IndentManager& iMgr, int y, int width, int aHeight, int& scrollWidth,
                               int& curs) {
  YValue = y;
  StartCurs = curs;
  int total = 0;
  std::size_t i = 0;
  while (i < Count()) {
    int maxWidth = 0;
    int height = 0;
    if (!LayOutSection(i, canvas, iMgr, 0, SumCoordinates(y, total), 1000, 1000, width, aHeight, maxWidth, curs,
                       height))
      continue;
    scrollWidth = std::max(scrollWidth, maxWidth);
    total = SumCoordinates(total, height);
    ++i;
  }
  Len = curs - StartCurs;
  return total;
}

void TCellBasic::GetMinMaxWidth(TCanvas& canvas, int& min, int& max) {
  min = max = 0;
  for (const auto& section : *this) {
    int sectionMin = 0, sectionMax = 0;
    section->CachedMinMaxWidth(canvas, sectionMin, sectionMax);
    min = std::max(min, sectionMin);
    max = std::max(max, sectionMax);
  }
}


TGuResultType TCellBasic::GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                                 TFormControlObj*& formControl, std::string& title) {
  for (const auto& section : *this) {
    if (section->DrawTop > y || y >= section->DrawBot) continue;
    const TGuResultType result = section->GetURL(canvas, x, y, urlTarget, formControl, title);
    if (result != 0) return result;
  }
  return 0;
}

bool TCellBasic::PtInObject(int x, int y, TObject*& obj, int& ix, int& iy) {
  for (const auto& section : *this)
    if (section->DrawTop <= y && y < section->DrawBot && section->PtInObject(x, y, obj, ix, iy)) return true;
  return false;
}

int TCellBasic::FindCursor(TCanvas& canvas, int x, int y, int& xr, int& yr, int& caretHt, bool& inText) {
  for (const auto& section : *this) {
    if (section->DrawTop > y || y >= section->DrawBot) continue;
    const int result = section->FindCursor(canvas, x, y, xr, yr, caretHt, inText);
    if (result >= 0) return result;
  }
  return -1;
}

int TCellBasic::FindString(int from, const std::string& toFind, bool matchCase, int& matchEnd) {
  for (const auto& section : *this) {
    const int result = section->FindString(from, toFind, matchCase, matchEnd);
    if (result >= 0) return result;
  }
  return -1;
}

int TCellBasic::FindSourcePos(int docPos) {
  for (const auto& section : *this) {
    const int result = section->FindSourcePos(docPos);
    if (result >= 0) return result;
  }
  return -1;
}

int TCellBasic::FindDocPos(int sourcePos, bool prev) {
  if (prev) {
    for (std::size_t i = Count(); i-- > 0;) {
      const int result = Items(i)->FindDocPos(sourcePos, prev);
      if (result >= 0) return result;
    }
    return -1;
  }
  for (const auto& section : *this) {
    const int result = section->FindDocPos(sourcePos, prev);
    if (result >= 0) return result;
  }
  return -1;
}

bool TCellBasic::CursorToXY(TCanvas& canvas, int cursor, int& x, int& y) {
  for (const auto& section : *this)
    if (section->CursorToXY(canvas, cursor, x, y)) return true;
  return false;
}

bool TCellBasic::GetChAtPos(int pos, char32_t& ch, TObject*& obj) {
  if (pos < StartCurs || pos > StartCurs + Len) return false;
  for (const auto& section : *this)
    if (section->GetChAtPos(pos, ch, obj)) return true;
  return false;
}

void TCellBasic::CopyToClipboard() {
  for (const auto& section : *this) {
    if (section->StartCurs >= MasterList->SelE) break;
    if (section->StartCurs + section->Len > MasterList->SelB) section->CopyToClipboard();
  }
}

bool TCellBasic::ClearLastBottomMargin() {
  for (std::size_t i = Count(); i-- > 0;) {
    auto* block = dynamic_cast<TBlock*>(Items(i));
    if (!block) continue;
    if (block->Positioning == TPositioning::Absolute) continue;
    if (auto* item = dynamic_cast<TBlockLI*>(block)) return item->MyCell->ClearLastBottomMargin();
    if (!block->CollapseBottomMargin) return false;
    block->MarginBottom = 0;
    return true;
  }
  return false;
}

int TCell::DoLogic(TCanvas& canvas, int y, int width, int aHeight, int& scrollWidth, int& curs) {
  IndentManager iMgr;
  iMgr.Reset(0, width);
  iMgr.Width = width;
  Width = width;
  iMgr.CurrentID = this;
  iMgr.AddLeft(0, y);
  iMgr.AddRight(width, y);
  const int height = LayOutSections(canvas, iMgr, y, width, aHeight, scrollWidth, curs);
  return std::max(height, SumCoordinates(iMgr.ImageBottom(), -static_cast<std::int64_t>(YValue)));
}

int TCell::Draw(TCanvas& canvas, const TRect& aRect, int clipWidth, int x, int y, int xRef, int yRef) {
  IndentManager iMgr;
  iMgr.Reset(x, x + Width);
  iMgr.ClipWidth = clipWidth;
  DrawYY = y;
  int bottom = y;
  for (const auto& section : *this) bottom = section->Draw(canvas, aRect, iMgr, x, xRef, yRef);
  return bottom;
}

}  // namespace lark
