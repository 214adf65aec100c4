#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "html/cell.h"
#include "html/document_utils.h"
#include "html/free_list.h"
#include "html/id_name_list.h"
#include "html/image_map.h"
#include "platform/graphics/color.h"

namespace lark {

class SelTextCount;
class TControl;
class TGIFImage;
class TTimer;

// What a failing section's layout must not leave behind.
struct TLayoutState {
  IndentManagerBasic::TState Indents;
  int Curs = 0;
  int TableNestLevel = 0;
  int* FirstLineBaseline = nullptr;
};

// One document: the cell of top-level sections plus everything that belongs
// to the whole document (anchors, links, selection, hover, background, the
// GIF timer). The parser fills it, the viewer lays it out and paints it, and
// printing works on a copy.
class TSectionList : public TCell, public TTextPositionLocator {
 public:
  // owner: the viewer (Sender of the hooks); paintPanel: what repaints.
  TSectionList(TObject* owner, TControl* paintPanel);
  // A print copy: settings and sections, but none of the lists that serve
  // the screen (anchors, positions, links, controls).
  explicit TSectionList(const TSectionList& source);
  ~TSectionList() override;

  // The document layout; the height of the document.
  int DoLogic(TCanvas& canvas, int y, int width, int aHeight, int& scrollWidth, int& curs) override;
  // Paints what meets aRect; returns the bottom Y.
  int Draw(TCanvas& canvas, const TRect& aRect, int clipWidth, int x, int y, int xRef, int yRef) override;
  // The hit test, with hover bookkeeping of the link and image under the point.
  TGuResultType GetURL(TCanvas& canvas, int x, int y, std::unique_ptr<TUrlTarget>& urlTarget,
                       TFormControlObj*& formControl, std::string& title) override;
  // The text position of a source offset; past the last section, Len + 1.
  int FindDocPos(int sourcePos, bool prev);
  // The last section of the position list that starts at or above y.
  TSectionBase* FindSectionAtPosition(int y, int& secY, int& index);
  void SetYOffset(int y);
  void CopyToClipboard();
  void CancelActives();

  void SetBackground(TColor color);
  void SetBackgroundBitmap(const std::string& name);
  [[nodiscard]] TPageLook PageLook() const { return {IsCopy, Background}; }
  // The GIF timer: made by the first layout of a screen document, freed by Clear.
  [[nodiscard]] const TTimer* AnimationTimerObject() const { return timer_.get(); }

  void Clear() override;

  // The Y of a text position, for anchors on character positions.
  [[nodiscard]] bool FindYOfTextPosition(std::int32_t pos, std::int32_t& y) override;

  // Called by every object the document may list (sections, font runs,
  // images, controls) when it is freed, so that no list keeps a dangling
  // reference to it.
  void ForgetObject(const TObject* object);
  void ForgetGif(const TGIFImage* gif);

  // Layout state saved before each section and restored when it fails.
  [[nodiscard]] TLayoutState SaveLayoutState(const IndentManagerBasic& iMgr, int curs) const;
  void RestoreLayoutState(const TLayoutState& state, IndentManagerBasic& iMgr, int& curs);

  TObject* TheOwner;
  TControl* PPanel;
  bool ShowImages = true;
  const bool IsCopy;
  bool PrintTableBackground = false;
  bool PrintMonochromeBlack = true;
  bool LinksActive = false;
  int YOff = 0;
  bool YOffChange = false;
  int SelB = 0, SelE = 0;
  std::string PreFontName;
  TColor HotSpotColor = clBlue, LinkVisitedColor = clPurple, LinkActiveColor = clRed;
  TColor Background = clWhite;
  std::string BackgroundBitmapName;
  bool BackgroundBitmapLoaded = false;

  std::function<void(TObject* sender, TColor color)> OnBackgroundChange;
  // Shown after layout, once per section left out ("Table has too many Columns").
  std::function<void(const std::string& message)> OnLayoutError;

  std::unique_ptr<TIDNameList> IDNameList;  // none on a print copy
  TFreeList<TMapItem> MapList;
  std::vector<TSectionBase*> PositionList;
  std::vector<TObject*> LinkList;  // the link font runs in document order
  std::vector<TGIFImage*> AGifList;
  std::vector<std::pair<std::string, TObject*>> MissingImages;
  std::vector<std::string> LayoutErrors;
  // Where the sections append their selected text while CopyToClipboard runs.
  SelTextCount* ClipBuf = nullptr;

  TObject* ActiveLink = nullptr;
  TObject* ActiveImage = nullptr;

  // The page bottom while printing; sections move it up to start a page
  // before themselves unless a row fixed it.
  int PageBottom = 0;
  bool PageBottomFixed = false;
  int TableNestLevel = 0;
  // Where the first laid-out line of text (or a table's bottom) reports its
  // baseline while a list item asks for it; filled only while it holds 0.
  int* FirstLineBaseline = nullptr;

 private:
  void AnimationTimer();
  void ReportLayoutErrors();

  std::unique_ptr<TTimer> timer_;
};

}  // namespace lark
