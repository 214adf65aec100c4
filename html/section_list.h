#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "html/cell.h"
#include "html/floating_object.h"
#include "html/document_utils.h"
#include "html/form_control.h"
#include "html/free_list.h"
#include "html/id_name_list.h"
#include "html/image_cache.h"
#include "html/image_map.h"
#include "html/ref_list.h"
#include "platform/graphics/color.h"

namespace lark {

class SelTextCount;
class TControl;
class TGIFImage;
class TStyleList;
class TFontObj;
class TTimer;
class TMemoryStream;
class ThvPanel;

// An image object that waits for a picture the application delivers later.
class TLateImage {
 public:
  virtual ~TLateImage() = default;
  // The picture of `key` has arrived in the cache; reformat is set when the
  // object's size changes.
  virtual void InsertImage(const std::string& key, bool& reformat) = 0;
};

// Image objects waiting for pictures the application delivers later, indexed
// by cache key: asking whether a key is awaited and handing an arrival to its
// waiters cost what that key has, never the length of the whole list (a page
// of many different missing pictures stays linear).
class TMissingImageList {
 public:
  // `object` waits for the picture of `key`; an object waits for one key.
  void Add(const std::string& key, TObject* object);
  [[nodiscard]] bool Waits(const std::string& key) const;
  // The waiters of `key` in the order they were added; they wait no more.
  [[nodiscard]] std::vector<TObject*> Take(const std::string& key);
  void Remove(const void* object);
  void clear();
  [[nodiscard]] bool empty() const { return keyOf_.empty(); }
  // Keys looked up and waiters handed out so far: the work tests count.
  [[nodiscard]] std::size_t Work() const { return work_; }

 private:
  // A waiter and the key it waits for, which byKey_ holds.
  struct TWaiter {
    TObject* Object;
    const std::string* Key;
    friend const void* ListedObject(const TWaiter& waiter) { return waiter.Object; }
  };
  std::unordered_map<std::string, TRefList<TObject*>> byKey_;
  TRefList<TWaiter> keyOf_;
  mutable std::size_t work_ = 0;
};

// A picture from the image cache: a still bitmap or an animated GIF (owned
// by the cache), with its mask; all null when there is none.
struct TCachedImage {
  TBitmap* Bitmap = nullptr;
  TGIFImage* Gif = nullptr;
  TBitmap* Mask = nullptr;
  explicit operator bool() const { return Bitmap || Gif; }
};

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
  // A scroll: every window control and panel counts as not painted until
  // the next paint places it again.
  void SetYOffset(int y);
  // The forms' "name=value" lists, one per form (empty without forms), and back.
  [[nodiscard]] std::vector<std::vector<std::string>> GetFormData();
  void SetFormData(const std::vector<std::vector<std::string>>& data);
  // The parser empties the panel and form control lists before it builds.
  void ClearLists();
  // A paragraph's form control leaves the document with it.
  void ForgetFormControl(const TFormControlObj* control);
  void CopyToClipboard();
  void CancelActives();
  // The image under the mouse takes its pressed (down) or hover look.
  void SetActiveImageDown(bool down);

  // The viewer's defaults: the style sheet's default entries, the parser's
  // font-size tables, the preformatted font, link colours and hover, and the
  // background colour.
  void SetFonts(const std::string& fontName, const std::string& preFontName, int marginWidth, int marginHeight,
                int charSet, bool underlineLinks, bool linksActive, TColor background, TColor overLinkColor,
                TColor visitedLinkColor, TColor hotSpotColor, TColor fontColor, double fontSize);
  void SetBackground(TColor color);
  void SetBackgroundBitmap(const std::string& name);
  [[nodiscard]] TPageLook PageLook() const { return {IsCopy, Background}; }
  // The GIF timer: made by the first layout of a screen document, freed by Clear.
  [[nodiscard]] const TTimer* AnimationTimerObject() const { return timer_.get(); }

  void Clear() override;

  // The picture of `url`, from the cache or fetched once (through the
  // bitmap or image request hook, else as a file) and cached under its key.
  // transparent: in, trCorner asks for a corner mask; out, the kind the
  // picture brings. delay: the application will deliver it later.
  [[nodiscard]] TCachedImage GetTheBitmap(const std::string& url, TTransparency& transparent, bool& fromCache,
                                          bool& delay);
  // A holder of a picture that GetTheBitmap handed out lets go of it.
  void ReleaseImage(const std::string& key) { Cache().DecUsage(key); }
  // A picture delivered late: cached, and handed to what waits for it.
  void InsertImage(const std::string& src, TMemoryStream& stream, bool& reformat);
  // The background picture, loaded once per name (null when none).
  TBitmap* GetBackgroundBitmap();
  [[nodiscard]] TBitmap* BackgroundMask() const { return backgroundMask_; }

  // The Y of a text position, for anchors on character positions.
  [[nodiscard]] bool FindYOfTextPosition(std::int32_t pos, std::int32_t& y) override;

  // Called by every object the document may list (sections, font runs,
  // images, controls) when it is freed, so that no list keeps a dangling
  // reference to it. While the whole page goes, the lists are already empty.
  void ForgetObject(const TObject* object) {
    if (object && !freeingPage_) Unlist(object);
  }
  void ForgetGif(const TGIFImage* gif);

  // The layout pass that DoLogic is running (a new number each time), or 0
  // outside layout: the key of the sections' cached widths.
  [[nodiscard]] unsigned LayoutPass() const { return layoutPass_; }

  // Paragraphs' measuring buffers go round: one given back after a layout is
  // handed to the next paragraph measured. Most are over a kilobyte, where
  // the allocator takes its slow path for each new one.
  [[nodiscard]] std::vector<std::int64_t> TakeExtentsBuffer();
  void ReturnExtentsBuffer(std::vector<std::int64_t> buffer);

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
  // A SCRIPT element's text (line ends as CR LF), for whoever runs scripts.
  std::function<void(TObject* sender, const std::string& name, const std::string& language,
                     const std::string& script)> OnScript;
  // The viewer's image hooks. A bitmap request hands over a new bitmap and
  // a transparent colour (-1 for none); an image request answers with a
  // stream it keeps, or with WaitStream() for "later".
  std::function<void(TObject* sender, const std::string& url, std::unique_ptr<TBitmap>& bitmap, TColor& color)>
      OnBitmapRequest;
  std::function<void(TObject* sender, const std::string& url, TMemoryStream*& stream)> OnImageRequest;
  std::function<void(TObject* sender, const std::string& src, std::string& result)> OnExpandName;
  // The viewer's image cache; without one the document keeps its own.
  TStringBitmapList* BitmapList = nullptr;
  // The viewer's object panel events (Sender is the viewer): a panel was
  // made for an OBJECT element, is about to be freed, or is to be printed
  // into `bitmap`.
  std::function<void(TObject* sender, const std::string& name, const std::string& type, const std::string& src,
                     ThvPanel* panel)>
      OnPanelCreate;
  std::function<void(TObject* sender, ThvPanel* panel)> OnPanelDestroy;
  std::function<void(TObject* sender, ThvPanel* panel, TBitmap& bitmap)> OnPanelPrint;
  // The viewer's side of forms: a form submits (the receiver takes the
  // pairs), a control is clicked (with its ONCLICK text), a control takes
  // the focus.
  std::function<void(TObject* sender, const std::string& action, const std::string& target,
                     const std::string& encType, const std::string& method, std::vector<std::string> results)>
      OnSubmitForm;
  std::function<void(TObject* sender, TFormControlObj* control, const std::string& onClick)> OnObjectClick;
  std::function<void(TObject* sender, TFormControlObj* control)> OnControlEnter;
  // Shown after layout, once per section left out ("Table has too many Columns").
  std::function<void(const std::string& message)> OnLayoutError;

  std::unique_ptr<TIDNameList> IDNameList;  // none on a print copy
  std::unique_ptr<TStyleList> Styles;       // none on a print copy
  TFreeList<TMapItem> MapList;
  TFreeList<ThtmlForm> FormList;
  // The lists of plain pointers take an object out in O(its entries) when
  // it is freed (ForgetObject).
  TRefList<TFormControlObj*> FormControlList;  // every control with a window
  TRefList<TWindowedObject*> PanelList;
  TRefList<TSectionBase*> PositionList;
  TRefList<TObject*> LinkList;  // the link font runs in document order
  TRefList<TGIFImage*> AGifList;
  TMissingImageList MissingImages;
  std::vector<std::string> LayoutErrors;
  // Floating objects met while painting, drawn after everything else so
  // that they lie on top of the text and the boxes painted after them.
  struct TDeferredFloat {
    TFloatingObj* Object;
    int X, Y;
    const TFontObj* Run;
    friend const void* ListedObject(const TDeferredFloat& entry) { return entry.Object; }
  };
  TRefList<TDeferredFloat> DrawList;
  // Where the sections append their selected text while CopyToClipboard runs.
  SelTextCount* ClipBuf = nullptr;

  TObject* ActiveLink = nullptr;
  TObject* ActiveImage = nullptr;

  // The page bottom while printing; sections move it up to start a page
  // before themselves unless a row fixed it.
  int PageBottom = 0;
  bool PageBottomFixed = false;
  int TableNestLevel = 0;
  // Text bytes whose measurements paragraphs keep from their width
  // computation for the layout that follows in the same pass (eight bytes
  // each), at most kMaxKeptMeasurementBytes.
  std::size_t KeptMeasurementBytes = 0;
  // Where the first laid-out line of text (or a table's bottom) reports its
  // baseline while a list item asks for it; filled only while it holds 0.
  int* FirstLineBaseline = nullptr;

 private:
  void Unlist(const TObject* object);
  void AnimationTimer();
  // Switches every run of the link that `link` belongs to in or out of hover.
  void SetLinkHover(TObject* link, bool hover);
  void ReportLayoutErrors();
  // Windows not painted go out of sight; parked at X -4000 instead while a
  // form control has the focus, so that the focus survives.
  void HideUnpaintedControls();

  [[nodiscard]] TStringBitmapList& Cache();
  [[nodiscard]] TCachedImage Fetch(const std::string& url, const std::string& key, TTransparency& transparent,
                                   bool& delay);
  void ForgetBackground();

  std::vector<std::vector<std::int64_t>> spareExtents_;  // at most kSpareExtentsBuffers
  bool freeingPage_ = false;  // Clear is freeing the sections after emptying every list
  unsigned layoutPass_ = 0;
  unsigned lastLayoutPass_ = 0;
  std::unique_ptr<TTimer> timer_;
  std::unique_ptr<TStringBitmapList> ownCache_;
  TBitmap* backgroundBitmap_ = nullptr;
  TBitmap* backgroundMask_ = nullptr;
  std::unique_ptr<TBitmap> backgroundFrame_;  // frame 1 of an animated background
  std::string backgroundKey_;  // the cache key the background holds
  std::string missingBackground_;  // the key of a background still to come
};

}  // namespace lark
