#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "html/id_object.h"
#include "platform/core/exception.h"
#include "platform/graphics/canvas.h"

namespace lark {

class IndentManager;
class TFormControlObj;
class TSectionList;
class TUrlTarget;

// A layout problem that one section cannot get past ("Table has too many
// Columns"): the document reports it and leaves that section out.
class EProcessError : public Exception {
 public:
  using Exception::Exception;
};

// What lies under a point, as GetURL reports it.
enum TGetURLResult : unsigned { guUrl = 1, guControl = 2, guTitle = 4 };
using TGuResultType = unsigned;

// A never laid out section's Y.
constexpr int kNotLaidOut = 999999999;

// One object of the document's vertical flow: laid out for a width from a
// Y, drawn into a clip rectangle, and asked about points and text positions.
// The defaults here are those of a section without text or content.
class TSectionBase : public TIDObject {
 public:
  explicit TSectionBase(TSectionList* masterList);
  // Copy for a print copy of the document: carries the height and z-order.
  TSectionBase(TSectionList* masterList, const TSectionBase& source);
  ~TSectionBase() override;

  [[nodiscard]] std::int32_t GetYPosition() override { return YValue; }
  [[nodiscard]] virtual std::unique_ptr<TSectionBase> CreateCopy(TSectionList* masterList) const;
  // Appends the selected part of the text to the document's clip buffer.
  virtual void CopyToClipboard() {}
  virtual int DrawLogic(TCanvas& canvas, int x, int y, int xRef, int yRef, int aWidth, int aHeight,
                        IndentManager& iMgr, int& maxWidth, int& curs);
  // Returns the Y just below the section.
  virtual int Draw(TCanvas& canvas, const TRect& aRect, IndentManager& iMgr, int x, int xRef, int yRef);
  virtual TGuResultType GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                               TFormControlObj*& formControl, std::string& title);
  virtual bool PtInObject(int x, int y, TObject*& obj, int& ix, int& iy);
  virtual int FindCursor(TCanvas& canvas, int x, int y, int& xr, int& yr, int& caretHt, bool& inText);
  // The first match at or after `from`, or -1; `matchEnd` gets where it ends,
  // in the document's bytes (a character's length depends on its run's code page).
  virtual int FindString(int from, const std::string& toFind, bool matchCase, int& matchEnd);
  virtual int FindSourcePos(int docPos);
  virtual int FindDocPos(int sourcePos, bool prev);
  virtual bool CursorToXY(TCanvas& canvas, int cursor, int& x, int& y);
  virtual bool GetChAtPos(int pos, char32_t& ch, TObject*& obj);
  // The narrowest width the section can be laid out in and the width it
  // needs without wrapping. Callers go through CachedMinMaxWidth.
  virtual void MinMaxWidth(TCanvas& canvas, int& min, int& max);
  virtual void AddSectionsToList();
  // MinMaxWidth, computed at most once per layout pass of the document.
  // Every enclosing block (and table) asks for the widths of what it holds
  // before laying it out; without the cache a section at depth d would be
  // measured d times and a layout would be quadratic in the nesting. The
  // cache lives only while the document's DoLogic runs (each run is a new
  // pass, so text, pictures or fonts changed between layouts are measured
  // afresh); a section that changes during a pass calls InvalidateMinMax.
  void CachedMinMaxWidth(TCanvas& canvas, int& min, int& max);
  void InvalidateMinMax() { minMaxPass_ = 0; }
  // Asked by a cell before it takes the section: a paragraph finishes its
  // text and answers false when nothing of it would show.
  [[nodiscard]] virtual bool KeepInCell() { return true; }

  TSectionList* ParentSectionList;
  int SectionHeight = 0;
  int DrawHeight = 0;
  int StartCurs = 0;
  int Len = 0;
  int ZIndex = 0;
  int YValue = kNotLaidOut;
  int ContentBot = 0;
  int DrawTop = 0;
  int DrawBot = 0;
  int ContentTop = 0;

 private:
  unsigned minMaxPass_ = 0;  // the layout pass the cached widths belong to; 0: none
  int cachedMin_ = 0, cachedMax_ = 0;
};

}  // namespace lark
