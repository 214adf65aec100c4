#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/free_list.h"
#include "html/ref_list.h"
#include "platform/core/exception.h"
#include "platform/core/string_list.h"
#include "platform/windows/drag.h"
#include "platform/windows/win_control.h"
#include "print/metafile_printer.h"
#include "viewer/html_parser.h"
#include "viewer/page_background.h"

namespace lark {

class TBitmap;
class TCanvas;
class TFormControlObj;
class TMemoryStream;
class TPaintPanel;
class TPanel;
class TScrollBar;
class TSectionList;
class TStringBitmapList;
class TTimer;
class T32ScrollBar;
class ThvPanel;

// The kind of document a viewer is handed.
enum class ThtmlFileType { ftHTML = 0, ftText = 1, ftImage = 2 };
enum class THTMLBorderStyle { htFocused, htNone, htSingle };

// The viewer's options, as bits of ThtmlViewerOptions.
enum htOptionEnum : unsigned {
  htOverLinksActive = 1u << 0,
  htNoLinkUnderline = 1u << 1,
  htPrintTableBackground = 1u << 2,
  htPrintMonochromeBlack = 1u << 3,
  htShowDummyCaret = 1u << 4,
  htShowVScroll = 1u << 5,
};
using ThtmlViewerOptions = unsigned;

// A scroll position that survives a change of width: the section that
// holds the top of the view and the offset inside it, ((index + 1) << 32) +
// offset, or a plain Y when the high part is 0. Both parts keep their full
// width, so pages of more than 65,535 sections or sections taller than
// 65,535 pixels come back to the same place.
using TViewerPosition = std::int64_t;

// One entry of the viewer's history.
struct PositionObj {
  TViewerPosition Pos = 0;
  ThtmlFileType FileType = ThtmlFileType::ftHTML;
  std::vector<std::vector<std::string>> FormData;
};

// A copy that would not fit the clipboard buffer whole.
LARK_EXCEPTION_CLASS(EBufferTooSmall, Exception);

// What the viewer tells an OnRightClick handler about the point clicked;
// made for one call.
struct TRightClickParameters {
  std::string URL, Target;       // the link under the mouse
  TObject* Image = nullptr;      // the image under the mouse, or null
  int ImageX = 0, ImageY = 0;    // the point inside the image
  std::string ClickWord;         // the word under the mouse
};

using THotSpotEvent = std::function<void(TObject* sender, const std::string& src)>;
using THotSpotClickEvent = std::function<void(TObject* sender, const std::string& src, bool& handled)>;
using TImageClickEvent =
    std::function<void(TObject* sender, TObject* obj, TMouseButton button, TShiftState shift, int x, int y)>;
using TImageOverEvent = std::function<void(TObject* sender, TObject* obj, TShiftState shift, int x, int y)>;
using TRightClickEvent = std::function<void(TObject* sender, TRightClickParameters& parameters)>;
using TFormSubmitEvent =
    std::function<void(TObject* sender, const std::string& action, const std::string& target,
                       const std::string& encType, const std::string& method, const std::vector<std::string>& results)>;
// A printed page's header or footer area; StopPrinting ends the job.
using TPagePrinted =
    std::function<void(TObject* sender, TCanvas& canvas, int numPage, int w, int h, bool& stopPrinting)>;

// Documents larger than this are refused rather than held in memory.
inline constexpr std::uint64_t kMaxDocumentBytes = 256ull << 20;
// Widest layout the horizontal bar scrolls through.
inline constexpr int kMaxLayoutWidth = 6000;
// The text cursor the document engine registers at start-up.
inline constexpr TCursor kTextCursor = 2;

// The window control that shows one HTML document: it owns the document,
// hands text to the parser, lays the document out for its width, keeps two
// scroll bars in step with it and paints it.
class THTMLViewer : public TWinControl {
 public:
  explicit THTMLViewer(TComponent* owner);
  ~THTMLViewer() override;

  // ---- loading (each does nothing while a load runs) ----
  // A file; a "#name" after the name positions to that anchor. Raises
  // EInOutError "Can't locate file: " when it is not a readable regular file.
  void LoadFile(const std::string& fileName, ThtmlFileType fileType);
  void LoadFromFile(const std::string& fileName) { LoadFile(fileName, ThtmlFileType::ftHTML); }
  void LoadImageFromFile(const std::string& fileName) { LoadFile(fileName, ThtmlFileType::ftImage); }
  void LoadFromBuffer(const char* buffer, std::size_t size);
  void LoadFromMemoryStream(const std::string& url, TMemoryStream* stream, ThtmlFileType fileType);
  virtual void Clear();
  // A picture that arrived after the document was shown; false while a load runs.
  bool InsertImage(const std::string& src, TMemoryStream& stream);

  // ---- layout and scrolling ----
  void DoLogic();
  void SetScrollBars();
  // Layout again keeping the position.
  void Layout();
  void ScrollTo(int y);
  [[nodiscard]] int VScrollBarPosition() const;
  void SetVScrollBarPosition(int y);
  [[nodiscard]] TViewerPosition GetPosition() const;
  void SetPosition(TViewerPosition pos);
  // Scrolls to an anchor name or ID ("#" optional); false when none has it.
  bool JumpToAnchor(const std::string& anchor);

  // ---- painting ----
  virtual void HTMLPaint(TCanvas& canvas, const TRect& rect);
  void Repaint() override;
  void Invalidate() override;

  // ---- accessors ----
  [[nodiscard]] const std::string& DocumentTitle() const { return documentTitle_; }
  [[nodiscard]] const std::string& Base() const { return base_; }
  void SetBase(const std::string& base);
  [[nodiscard]] const std::string& BaseTarget() const { return baseTarget_; }
  [[nodiscard]] const std::string& CurrentFile() const { return currentFile_; }
  [[nodiscard]] ThtmlFileType CurrentFileType() const { return currentFileType_; }
  // The bytes the document on show was parsed from (for an image, the page
  // made around it).
  [[nodiscard]] const std::string& DocumentSource() const { return documentSource_; }
  [[nodiscard]] const std::string& LinkURL() const { return linkURL_; }
  [[nodiscard]] const std::string& LinkTarget() const { return linkTarget_; }
  // The title of the link under the mouse.
  [[nodiscard]] const std::string& LinkTitle() const { return linkTitle_; }
  [[nodiscard]] const TRefList<TFormControlObj*>& FormControlList() const;
  [[nodiscard]] const TRefList<TObject*>& LinkList() const;
  [[nodiscard]] std::vector<std::vector<std::string>> GetFormData() const;
  void SetFormData(const std::vector<std::vector<std::string>>& data);
  // A cache shared with other viewers (the frames of one browser); not owned.
  void SetSharedImageCache(TStringBitmapList* cache);
  [[nodiscard]] TSectionList& SectionList() const { return *sectionList_; }
  [[nodiscard]] TPaintPanel& PaintPanel() const { return *paintPanel_; }
  [[nodiscard]] T32ScrollBar& VScrollBar() const { return *vScrollBar_; }
  [[nodiscard]] TScrollBar& HScrollBar() const { return *hScrollBar_; }
  [[nodiscard]] bool Processing() const { return processing_; }
  [[nodiscard]] bool InLayout() const { return inLayout_; }
  [[nodiscard]] int ScrollHeight() const { return scrollHeight_; }
  [[nodiscard]] int LayoutWidth() const { return layoutWidth_; }

  // A link or image name as a file name: an absolute path stands alone
  // (under ServerRoot when one is set), a file URL becomes its path, and a
  // relative name joins the base, else the current file's folder.
  virtual std::string ExpandLinkName(const std::string& name) const;

  // ---- properties with behaviour ----
  [[nodiscard]] bool ViewImages() const;
  void SetViewImages(bool value);
  [[nodiscard]] TColor DefBackground() const { return defBackground_; }
  void SetDefBackground(TColor color);
  [[nodiscard]] THTMLBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(THTMLBorderStyle style);
  [[nodiscard]] int DefFontSize() const { return defFontSize_; }
  void SetDefFontSize(int size);
  [[nodiscard]] int ImageCacheCount() const { return imageCacheCount_; }
  void SetImageCacheCount(int count);
  [[nodiscard]] TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBarsStyle(TScrollStyle style);
  [[nodiscard]] const std::string& ServerRoot() const { return serverRoot_; }
  void SetServerRoot(const std::string& root);
  [[nodiscard]] ThtmlViewerOptions htOptions() const { return options_; }
  void SethtOptions(ThtmlViewerOptions options);
  [[nodiscard]] const std::string& DefPreFontName() const { return defPreFontName_; }
  void SetDefPreFontName(const std::string& name);
  void SetDefHotSpotColor(TColor color);
  void SetDefVisitedLinkColor(TColor color);
  void SetDefOverLinkColor(TColor color);
  [[nodiscard]] TColor DefHotSpotColor() const { return defHotSpotColor_; }
  [[nodiscard]] TColor DefVisitedLinkColor() const { return defVisitedLinkColor_; }
  [[nodiscard]] TColor DefOverLinkColor() const { return defOverLinkColor_; }

  [[nodiscard]] bool NoSelect() const { return noSelect_; }
  // True empties the selection.
  void SetNoSelect(bool value);
  [[nodiscard]] int HistoryMaxCount() const { return historyMaxCount_; }
  // Negative values are ignored; a smaller maximum clears the history.
  void SetHistoryMaxCount(int count);
  [[nodiscard]] int VisitedMaxCount() const { return visitedMaxCount_; }
  // Negative counts as 0; 0 forgets every visit and repaints.
  void SetVisitedMaxCount(int count);
  // Inside a frame a viewer keeps no visited list (the frame browser does).
  bool InFrame = false;

  // Plain settings: they take effect from the next load or Clear.
  std::string DefFontName = "Times New Roman";
  TColor DefFontColor = clBtnText;
  int MarginWidth = 10;
  int MarginHeight = 5;
  int CharSet = 1;
  double PrintMarginLeft = 2.0, PrintMarginRight = 2.0, PrintMarginTop = 2.0, PrintMarginBottom = 2.0;

  // ---- events ----
  std::function<void(TObject* sender, bool processingOn)> OnProcessing;
  std::function<void(TObject* sender, std::string& source)> OnParseBegin;
  TSoundRequestHandler OnSoundRequest;
  TMetaHandler OnMeta;
  std::function<void(TObject* sender, int delay, const std::string& url)> OnMetaRefresh;
  TIncludeHandler OnInclude;
  // A linked style sheet: the handler answers a stream it keeps (or null).
  std::function<void(TObject* sender, const std::string& src, TMemoryStream*& stream)> OnhtStreamRequest;
  // Called with the text of every layout's left-out sections, each distinct
  // message once, after the layout; the default shows one error box.
  std::function<void(const std::vector<std::string>& messages)> OnLayoutErrors;
  // These are copied into the document at once.
  void SetOnImageRequest(std::function<void(TObject*, const std::string&, TMemoryStream*&)> handler);
  void SetOnBitmapRequest(
      std::function<void(TObject*, const std::string&, std::unique_ptr<TBitmap>&, TColor&)> handler);
  void SetOnExpandName(std::function<void(TObject*, const std::string&, std::string&)> handler);
  void SetOnScript(
      std::function<void(TObject*, const std::string&, const std::string&, const std::string&)> handler);
  void SetOnObjectClick(std::function<void(TObject*, TFormControlObj*, const std::string&)> handler);
  void SetOnPanelCreate(std::function<void(TObject*, const std::string&, const std::string&, const std::string&,
                                           ThvPanel*)> handler);
  void SetOnPanelDestroy(std::function<void(TObject*, ThvPanel*)> handler);
  void SetOnPanelPrint(std::function<void(TObject*, ThvPanel*, TBitmap&)> handler);
  // A form submits; raised after the click that submitted it is over.
  void SetOnFormSubmit(TFormSubmitEvent handler);

  // The handlers are called with the viewer as Sender.
  [[nodiscard]] const TFormSubmitEvent& OnFormSubmit() const { return onFormSubmit_; }
  THotSpotEvent OnHotSpotCovered;
  THotSpotClickEvent OnHotSpotClick;
  TImageClickEvent OnImageClick;
  TImageOverEvent OnImageOver;
  TRightClickEvent OnRightClick;
  TMouseEvent OnMouseDouble;
  TNotifyEvent OnHistoryChange;
  TPagePrinted OnPrintHeader, OnPrintFooter;
  // Stored in the viewer; while set, drags over the paint surface reach
  // them with the viewer as Sender.
  void SetOnDragDrop(TDragDropEvent handler);
  void SetOnDragOver(TDragOverEvent handler);

  // ---- selection, find, links ----
  // Selects the next match after the caret; false when there is none.
  bool Find(const std::string& text, bool matchCase);
  void SelectAll();
  // Raises EBufferTooSmall when the selected text would not fit the
  // clipboard buffer whole.
  void CopyToClipboard();
  // Negative when the selection was made towards the start.
  [[nodiscard]] int GetSelLength() const;
  [[nodiscard]] int SelStart() const;
  [[nodiscard]] int CaretPos() const { return caretPos_; }
  virtual void FollowLink();
  virtual void ExtendSelectionTo(int x, int y);
  // The word of the document under a point of the paint surface (its first
  // text position and the one after its end); false when none is there.
  bool WordAt(int x, int y, int& first, int& end);

  // ---- history and visited links ----
  void RecordHistory(const std::string& oldFile, const std::string& oldTitle, ThtmlFileType oldType,
                     std::vector<std::vector<std::string>> oldFormData, TViewerPosition oldPos);
  void ClearHistory();
  [[nodiscard]] const TStringList& History() const { return historyFiles_; }
  [[nodiscard]] const TStringList& TitleHistory() const { return historyTitles_; }
  [[nodiscard]] const PositionObj& HistoryPosition(int index) const { return *historyPositions_[index]; }
  [[nodiscard]] int HistoryIndex() const { return historyIndex_; }
  void AddVisitedLink(const std::string& name);
  void MarkVisitedLinks();
  [[nodiscard]] const TStringList& Visited() const { return visited_; }
  // Link names expanded by visited-link passes so far (tests count them).
  [[nodiscard]] std::size_t LinkNameExpansions() const { return linkNameExpansions_; }

  // ---- printing (viewer_printing.cpp) ----
  // Prints pages fromPage..toPage (1-based) of the document on the
  // program's printer, cut between lines, with the print margins, header and
  // footer. A job that reaches no page of the range leaves no paper and no
  // file. Does nothing while the viewer is busy or empty.
  void Print(int fromPage, int toPage);
  // Records every page into the store; the number of pages (0 when nothing
  // was done).
  int PrintPreview(TMetaFilePrinter& mfPrinter);
  // Progress of a pass: 0 when the layout starts, n when page n is done.
  TPageEvent OnPageEvent;
  // The page being printed; after a pass, the last page it processed.
  [[nodiscard]] int CurrentPage() const { return currentPage_; }

  // ---- mouse on the paint surface ----
  virtual void PanelMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void PanelMouseMove(TShiftState shift, int x, int y);
  virtual void PanelMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void PanelMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
  virtual void PanelDoubleClick(int x, int y);

  // Paints the background and the document into the clip rectangle of the
  // paint surface's canvas (called by the paint surface).
  void PaintSurface(TCanvas& canvas);
  // The single-line border shows for htSingle, or for htFocused while the
  // viewer has the focus.
  void RefreshBorder();

 protected:
  void WndProc(TMessage& message) override;

 private:
  class ProcessingScope;
  friend class ProcessingScope;
  class TPrintPass;
  friend class TPrintPass;

  void SetProcessing(bool value);
  void PrepareDefaults();
  void ApplyDefaults();
  void FinishLoad(const THtmlDocumentInfo& info);
  void ParseDocument(std::string_view text, ThtmlFileType fileType, bool withEvents);
  // A load from memory starts at the top.
  void AfterLoad();
  void FireMetaRefresh();
  void MetaCallback(TObject* sender, const std::string& httpEq, const std::string& name,
                    const std::string& content);
  void FetchStyleSheet(const std::string& href, const std::string& base, std::string& text, std::string& address);
  void ExpandImageName(const std::string& src, std::string& result);
  [[nodiscard]] THtmlParserHooks ParserHooks(bool withEvents);
  void StopSound();
  void VScrollMessage(int code);
  void HScrollBarScroll(int& pos);
  void HandleSize();
  void ShowLayoutErrors();
  void FormControlEnter(TFormControlObj* control);
  void DeliverFormSubmit();
  [[nodiscard]] static std::string SectionListFontName(const std::string& name);
  void HoverTimerTick();
  void AutoScrollLoop();
  [[nodiscard]] bool AutoScrollWanted(TPoint pointer) const;
  void AutoScrollStep(TPoint pointer);
  void EndPanning();
  void KeyDownScroll(unsigned short key);
  void SetPanelCursor(TCursor cursor);
  [[nodiscard]] TPoint PanelPointer() const;
  [[nodiscard]] std::string ClickWord(int x, int y);
  [[nodiscard]] std::string LinkFullName(const std::string& link);
  void SetLinksVisited(const std::function<bool(const std::string& fullName, bool now)>& visited);
  void JumpAndRecord(const std::string& anchor, TViewerPosition oldPos);
  [[nodiscard]] int PaintHeight() const;
  [[nodiscard]] int MaxScrollPosition() const;
  [[nodiscard]] TStringBitmapList& ImageCache();

  std::unique_ptr<TSectionList> sectionList_;
  // Components of the viewer: TComponent ownership frees them.
  TPanel* borderPanel_ = nullptr;
  TPaintPanel* paintPanel_ = nullptr;
  T32ScrollBar* vScrollBar_ = nullptr;
  TScrollBar* hScrollBar_ = nullptr;
  TTimer* hoverTimer_ = nullptr;
  std::unique_ptr<TStringBitmapList> ownImageCache_;
  TPageBackground background_;

  bool inLayout_ = false;
  std::string documentTitle_;
  std::string linkURL_, linkTarget_;
  std::string base_, defaultBase_, baseTarget_;
  std::string currentFile_;
  ThtmlFileType currentFileType_ = ThtmlFileType::ftHTML;
  std::string refreshURL_;
  int refreshDelay_ = 0;
  TStringList historyFiles_, historyTitles_;
  TFreeList<PositionObj> historyPositions_;
  int historyIndex_ = 0;
  TStringList visited_;
  std::string defPreFontName_ = "Courier New";
  TColor defHotSpotColor_ = clBlue, defVisitedLinkColor_ = clPurple, defOverLinkColor_ = clBlue;
  TColor defBackground_ = clBtnFace;
  int defFontSize_ = 12;
  bool processing_ = false;
  int imageCacheCount_ = 5;
  TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
  THTMLBorderStyle borderStyle_ = THTMLBorderStyle::htFocused;
  ThtmlViewerOptions options_ = htPrintTableBackground | htPrintMonochromeBlack;
  std::string serverRoot_;
  int caretPos_ = 0;
  bool noSelect_ = false;
  int historyMaxCount_ = 0;
  int visitedMaxCount_ = 50;
  std::size_t linkNameExpansions_ = 0;
  int currentPage_ = 0;
  // Mouse state.
  bool leftButtonDown_ = false;
  bool selecting_ = false;
  bool mouseDownInPanel_ = false;
  bool autoScrollPosted_ = false;
  bool panning_ = false;
  int panStartY_ = 0;
  bool linkClicked_ = false;
  std::string linkTitle_;
  // Set by the destructor and by a document change, so that the auto-scroll
  // loop, which runs the message queue, stops without touching the viewer.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  int selectionAnchor_ = -1;
  int scrollBarWidth_ = 0;
  int layoutWidth_ = 0;
  int scrollHeight_ = 0;
  std::string documentSource_;
  std::vector<std::string> layoutErrors_;
  struct TPendingSubmit {
    std::string Action, Target, EncType, Method;
    std::vector<std::string> Results;
  };
  // Each submission waits with its own data for its own message.
  std::deque<TPendingSubmit> pendingSubmits_;
  TFormSubmitEvent onFormSubmit_;
  std::function<void(TObject*, const std::string&, std::string&)> onExpandName_;
};

}  // namespace lark
