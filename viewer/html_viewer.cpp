// The viewer's parts, its layout and scroll bars, and its settings.
#include "viewer/html_viewer.h"

#include <algorithm>

#include "html/document_coordinates.h"
#include "html/html_form.h"
#include "html/image_cache.h"
#include "html/section_list.h"
#include "platform/core/code_page.h"
#include "platform/core/string_routines.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/message_queue.h"
#include "platform/windows/panel.h"
#include "platform/windows/timer.h"
#include "viewer/document_engine.h"
#include "viewer/paint_panel.h"
#include "viewer/scroll_bar_32.h"

namespace lark {

namespace {

constexpr int kVerticalSmallChange = 16;
constexpr int kHorizontalSmallChange = 15;
constexpr unsigned kHoverInterval = 200;
constexpr int kMaxImageCacheCount = 20;
constexpr int kMinFontSize = 6;
constexpr TColor kPaletteRelative = 0x02000000;
// Posted to itself to raise OnFormSubmit once the submitting click is over.
constexpr UINT kFormSubmitMessage = WM_USER + 100;
// Posted to itself to run the auto-scroll (selection or panning) loop.
constexpr UINT kAutoScrollMessage = WM_USER + 102;

bool HasVertical(TScrollStyle style) { return style == TScrollStyle::ssVertical || style == TScrollStyle::ssBoth; }

}  // namespace

THTMLViewer::THTMLViewer(TComponent* owner) : TWinControl(owner) {
  StartDocumentEngine();
  borderPanel_ = new TPanel(this);
  borderPanel_->SetBevelOuter(TBevelCut::bvNone);
  borderPanel_->SetCtl3D(false);
  borderPanel_->SetParentColor(true);
  borderPanel_->SetAlign(TAlign::alClient);
  borderPanel_->SetParent(this);

  paintPanel_ = new TPaintPanel(this, this);
  paintPanel_->SetBevelOuter(TBevelCut::bvNone);
  paintPanel_->SetParentColor(true);
  paintPanel_->SetParentFont(false);
  paintPanel_->SetBounds(1, 1, 148, 148);
  paintPanel_->SetParent(this);
  paintPanel_->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    PanelMouseDown(b, s, x, y);
  };
  paintPanel_->OnMouseMove = [this](TObject*, TShiftState s, int x, int y) { PanelMouseMove(s, x, y); };
  paintPanel_->OnMouseUp = [this](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    PanelMouseUp(b, s, x, y);
  };
  OnMouseWheel = [this](TObject*, TShiftState s, int delta, TPoint p, bool& handled) {
    PanelMouseWheel(s, delta, p, handled);
  };

  vScrollBar_ = new T32ScrollBar(this);
  vScrollBar_->SmallChange = kVerticalSmallChange;
  vScrollBar_->SetVisible(false);
  vScrollBar_->TabStop = false;
  vScrollBar_->SetParent(this);
  vScrollBar_->OnScrollMessage = [this](int code) { VScrollMessage(code); };
  scrollBarWidth_ = vScrollBar_->Width();

  hScrollBar_ = new TScrollBar(this);
  hScrollBar_->SmallChange = kHorizontalSmallChange;
  hScrollBar_->SetVisible(false);
  hScrollBar_->TabStop = false;
  hScrollBar_->SetParent(this);
  hScrollBar_->OnScroll = [this](TObject*, TScrollCode, int& pos) { HScrollBarScroll(pos); };

  sectionList_ = std::make_unique<TSectionList>(this, paintPanel_);
  sectionList_->ShowImages = true;
  sectionList_->OnControlEnter = [this](TObject*, TFormControlObj* control) { FormControlEnter(control); };
  sectionList_->OnBackgroundChange = [this](TObject*, TColor color) { SetColor(color | kPaletteRelative); };
  sectionList_->OnExpandName = [this](TObject*, const std::string& src, std::string& result) {
    ExpandImageName(src, result);
  };
  sectionList_->OnLayoutError = [this](const std::string& message) {
    if (std::find(layoutErrors_.begin(), layoutErrors_.end(), message) == layoutErrors_.end())
      layoutErrors_.push_back(message);
  };

  hoverTimer_ = new TTimer(this);
  hoverTimer_->SetInterval(kHoverInterval);
  hoverTimer_->SetEnabled(false);
  hoverTimer_->OnTimer = [this](TObject*) { HoverTimerTick(); };

  SetColor(defBackground_);
  SetCursor(crIBeam);  // the text cursor once the document engine has it (DoLogic)
  SetBounds(Left(), Top(), 150, 150);
}

THTMLViewer::~THTMLViewer() {
  Destroying();
  *alive_ = false;
  // The document first: its form controls and panels free their windows,
  // which live on the paint surface, before the owned children go.
  sectionList_.reset();
  ownImageCache_.reset();
}

// ---- settings ----------------------------------------------------------------

TStringBitmapList& THTMLViewer::ImageCache() {
  if (!sectionList_->BitmapList) {
    ownImageCache_ = std::make_unique<TStringBitmapList>();
    ownImageCache_->SetSorted(true);
    ownImageCache_->Purge(imageCacheCount_);
    sectionList_->BitmapList = ownImageCache_.get();
  }
  return *sectionList_->BitmapList;
}

void THTMLViewer::SetSharedImageCache(TStringBitmapList* cache) {
  sectionList_->BitmapList = cache;
  if (cache != ownImageCache_.get()) ownImageCache_.reset();
}

void THTMLViewer::SetImageCacheCount(int count) {
  count = std::clamp(count, 0, kMaxImageCacheCount);
  if (count == imageCacheCount_) return;
  imageCacheCount_ = count;
  if (sectionList_->BitmapList) sectionList_->BitmapList->Purge(count);
}

void THTMLViewer::SetDefFontSize(int size) { defFontSize_ = std::max(size, kMinFontSize); }

std::string THTMLViewer::SectionListFontName(const std::string& name) {
  // A font name is held in 32 bytes: a longer one loses whole characters.
  constexpr std::size_t kMaxFontNameBytes = 32;
  if (name.size() <= kMaxFontNameBytes) return name;
  return name.substr(0, FloorCharBoundary(name, kMaxFontNameBytes, CP_UTF8));
}

void THTMLViewer::SetDefPreFontName(const std::string& name) {
  if (SameText(name, sectionList_->PreFontName)) return;
  defPreFontName_ = name;
  sectionList_->PreFontName = SectionListFontName(name);
}

void THTMLViewer::SetDefHotSpotColor(TColor color) {
  defHotSpotColor_ = color;
  sectionList_->HotSpotColor = color;
}

void THTMLViewer::SetDefVisitedLinkColor(TColor color) {
  defVisitedLinkColor_ = color;
  sectionList_->LinkVisitedColor = color;
}

void THTMLViewer::SetDefOverLinkColor(TColor color) {
  defOverLinkColor_ = color;
  sectionList_->LinkActiveColor = color;
}

void THTMLViewer::SetDefBackground(TColor color) {
  if (processing_) return;
  defBackground_ = color;
  sectionList_->SetBackground(color);
  SetColor(color);
  Invalidate();
}

void THTMLViewer::SetNoSelect(bool value) {
  noSelect_ = value;
  if (!value) return;
  sectionList_->SelB = sectionList_->SelE = -1;
  Invalidate();
}

void THTMLViewer::SetOnDragDrop(TDragDropEvent handler) {
  OnDragDrop = std::move(handler);
  paintPanel_->OnDragDrop = nullptr;
  if (OnDragDrop)
    paintPanel_->OnDragDrop = [this](TObject*, TObject* source, int x, int y) { OnDragDrop(this, source, x, y); };
}

void THTMLViewer::SetOnDragOver(TDragOverEvent handler) {
  OnDragOver = std::move(handler);
  paintPanel_->OnDragOver = nullptr;
  if (OnDragOver)
    paintPanel_->OnDragOver = [this](TObject*, TObject* source, int x, int y, TDragState state, bool& accept) {
      OnDragOver(this, source, x, y, state, accept);
    };
}

void THTMLViewer::SetBorderStyle(THTMLBorderStyle style) {
  borderStyle_ = style;
  RefreshBorder();
}

void THTMLViewer::SethtOptions(ThtmlViewerOptions options) {
  options_ = options;
  sectionList_->LinksActive = (options & htOverLinksActive) != 0;
  sectionList_->PrintTableBackground = (options & htPrintTableBackground) != 0;
  sectionList_->PrintMonochromeBlack = (options & htPrintMonochromeBlack) != 0;
  vScrollBar_->SetDisableNoScroll((options & htShowVScroll) != 0);
}

void THTMLViewer::SetScrollBarsStyle(TScrollStyle style) {
  if (style == scrollBars_) return;
  scrollBars_ = style;
  if (HasState(csLoading) || !HandleAllocated()) return;
  Layout();
  Invalidate();
}

void THTMLViewer::SetServerRoot(const std::string& root) {
  serverRoot_ = root.size() > 1 && root.back() == '/' ? root.substr(0, root.size() - 1) : root;
}

void THTMLViewer::SetBase(const std::string& base) {
  base_ = base;
  defaultBase_ = base;
}

bool THTMLViewer::ViewImages() const { return sectionList_->ShowImages; }

const TRefList<TFormControlObj*>& THTMLViewer::FormControlList() const { return sectionList_->FormControlList; }

const TRefList<TObject*>& THTMLViewer::LinkList() const { return sectionList_->LinkList; }

std::vector<std::vector<std::string>> THTMLViewer::GetFormData() const { return sectionList_->GetFormData(); }

void THTMLViewer::SetFormData(const std::vector<std::vector<std::string>>& data) { sectionList_->SetFormData(data); }

// ---- events copied into the document -----------------------------------------

void THTMLViewer::SetOnImageRequest(std::function<void(TObject*, const std::string&, TMemoryStream*&)> handler) {
  sectionList_->OnImageRequest = std::move(handler);
}

void THTMLViewer::SetOnBitmapRequest(
    std::function<void(TObject*, const std::string&, std::unique_ptr<TBitmap>&, TColor&)> handler) {
  sectionList_->OnBitmapRequest = std::move(handler);
}

void THTMLViewer::SetOnExpandName(std::function<void(TObject*, const std::string&, std::string&)> handler) {
  onExpandName_ = std::move(handler);
}

void THTMLViewer::SetOnScript(
    std::function<void(TObject*, const std::string&, const std::string&, const std::string&)> handler) {
  sectionList_->OnScript = std::move(handler);
}

void THTMLViewer::SetOnObjectClick(std::function<void(TObject*, TFormControlObj*, const std::string&)> handler) {
  sectionList_->OnObjectClick = std::move(handler);
}

void THTMLViewer::SetOnPanelCreate(
    std::function<void(TObject*, const std::string&, const std::string&, const std::string&, ThvPanel*)> handler) {
  sectionList_->OnPanelCreate = std::move(handler);
}

void THTMLViewer::SetOnPanelDestroy(std::function<void(TObject*, ThvPanel*)> handler) {
  sectionList_->OnPanelDestroy = std::move(handler);
}

void THTMLViewer::SetOnPanelPrint(std::function<void(TObject*, ThvPanel*, TBitmap&)> handler) {
  sectionList_->OnPanelPrint = std::move(handler);
}

void THTMLViewer::SetOnFormSubmit(TFormSubmitEvent handler) {
  onFormSubmit_ = std::move(handler);
  if (!onFormSubmit_) {
    sectionList_->OnSubmitForm = nullptr;  // without a receiver, submitting does nothing
    return;
  }
  sectionList_->OnSubmitForm = [this](TObject*, const std::string& action, const std::string& target,
                                      const std::string& encType, const std::string& method,
                                      std::vector<std::string> results) {
    pendingSubmits_.push_back({action, target, encType, method, std::move(results)});
    PostMessage(this, kFormSubmitMessage);
  };
}

void THTMLViewer::ExpandImageName(const std::string& src, std::string& result) {
  if (onExpandName_) {
    onExpandName_(this, src, result);
  } else if (!sectionList_->OnImageRequest && !sectionList_->OnBitmapRequest) {
    // Read as files: a relative name is the document's neighbour.
    result = ExpandLinkName(src);
  }
}

// ---- the processing flag -------------------------------------------------------

void THTMLViewer::SetProcessing(bool value) {
  if (value == processing_) return;
  processing_ = value;
  if (OnProcessing && !HasState(csLoading)) OnProcessing(this, value);
}

// ---- layout --------------------------------------------------------------------

int THTMLViewer::PaintHeight() const { return paintPanel_->Height(); }

int THTMLViewer::MaxScrollPosition() const { return std::max(0, scrollHeight_ - PaintHeight()); }

void THTMLViewer::DoLogic() {
  layoutWidth_ = 0;
  HandleNeeded();
  inLayout_ = true;
  layoutErrors_.clear();
  {
    struct LayoutEnd {
      bool& inLayout;
      ~LayoutEnd() { inLayout = false; }
    } layoutEnd{inLayout_};
    const int frame = borderStyle_ == THTMLBorderStyle::htNone ? 1 : 3;
    int width = Width() - frame;
    if (HasVertical(scrollBars_)) width -= scrollBarWidth_;
    width = std::max(width, 0);  // a viewer narrower than its frame lays out in no width
    int curs = 0;
    scrollHeight_ = sectionList_->DoLogic(paintPanel_->Canvas(), 0, width, ClientHeight(), layoutWidth_, curs);
    SetScrollBars();
    if (Cursor() == crIBeam) SetCursor(kTextCursor);
  }
  ShowLayoutErrors();
}

void THTMLViewer::ShowLayoutErrors() {
  if (layoutErrors_.empty()) return;
  std::vector<std::string> messages;
  messages.swap(layoutErrors_);
  if (OnLayoutErrors) {
    OnLayoutErrors(messages);
    return;
  }
  std::string text;
  for (const std::string& message : messages) text += (text.empty() ? "" : "\n") + message;
  MessageDlg(text, TMsgDlgType::mtError, mbOK);
}

void THTMLViewer::SetScrollBars() {
  layoutWidth_ = std::min(layoutWidth_, kMaxLayoutWidth);
  int offset = 0;
  if (borderStyle_ == THTMLBorderStyle::htNone) {
    paintPanel_->SetBounds(0, 0, paintPanel_->Width(), paintPanel_->Height());
    borderPanel_->SetVisible(false);
  } else {
    offset = 1;
    paintPanel_->SetBounds(1, 1, paintPanel_->Width(), paintPanel_->Height());
    borderPanel_->SetVisible(false);
    borderPanel_->SetVisible(true);
  }
  const int sw = scrollBarWidth_, w = Width(), h = Height(), sh = scrollHeight_, lw = layoutWidth_;
  const bool showVOption = (options_ & htShowVScroll) != 0;
  bool vNeeded = false, showV = false, hNeeded = false;
  if (HasVertical(scrollBars_)) {
    vNeeded = h - 2 <= sh || (scrollBars_ == TScrollStyle::ssBoth && h - 2 - sw <= sh && w - sw < lw);
    showV = vNeeded || showVOption;
    hNeeded = scrollBars_ == TScrollStyle::ssBoth && (lw > w || (showV && w - sw < lw));
  } else {
    hNeeded = scrollBars_ == TScrollStyle::ssHorizontal && lw > w;
  }
  const int visibleWidth = showV || (showVOption && HasVertical(scrollBars_)) ? w - sw : w;
  const int paintWidth = std::max(0, visibleWidth - 2 * offset);
  const int paintHeight = std::max(0, h - 2 * offset - (hNeeded ? sw : 0));
  paintPanel_->SetBounds(offset, offset, paintWidth, paintHeight);

  hScrollBar_->SetVisible(hNeeded);
  hScrollBar_->LargeChange = std::max(1, visibleWidth - 20);
  hScrollBar_->SetBounds(offset, offset + paintHeight, paintWidth, sw);
  hScrollBar_->SetParams(hScrollBar_->Position(), 0, std::max(0, lw));
  hScrollBar_->SetPageSize(visibleWidth);

  vScrollBar_->SetBounds(w - sw, 0, sw, paintHeight);
  vScrollBar_->LargeChange = paintHeight;
  if (showVOption && HasVertical(scrollBars_)) {
    vScrollBar_->SetVisible(true);
    vScrollBar_->SetEnabled(vNeeded);
  } else {
    vScrollBar_->SetVisible(vNeeded);
    vScrollBar_->SetEnabled(true);
  }
  vScrollBar_->SetMin32(0);
  vScrollBar_->SetMax32(sh);
  vScrollBar_->SetPage32(paintHeight + 1);
}

void THTMLViewer::Layout() {
  const bool wasProcessing = processing_;
  SetProcessing(true);
  struct Restore {
    THTMLViewer& viewer;
    bool value;
    ~Restore() { viewer.SetProcessing(value); }
  } restore{*this, wasProcessing};
  const TViewerPosition position = GetPosition();
  DoLogic();
  SetPosition(position);
}

void THTMLViewer::HandleSize() {
  // Sizes set while the viewer is made, or before it has a window, wait
  // for the first load's layout.
  if (!sectionList_ || HasState(csDestroying) || !HandleAllocated()) return;
  if (processing_)
    SetScrollBars();
  else
    Layout();
  if (PaintHeight() <= scrollHeight_)
    ScrollTo(vScrollBar_->Position32());
  else
    ScrollTo(0);
  const int maxX = std::max(0, hScrollBar_->Max() - paintPanel_->Width());
  if (hScrollBar_->Position() > maxX) hScrollBar_->SetPosition(maxX);
}

// ---- scrolling -----------------------------------------------------------------

void THTMLViewer::ScrollTo(int y) {
  y = std::clamp(y, 0, MaxScrollPosition());
  vScrollBar_->SetPosition32(y);
  sectionList_->SetYOffset(y);
  paintPanel_->Invalidate();
}

int THTMLViewer::VScrollBarPosition() const { return vScrollBar_->Position32(); }

void THTMLViewer::SetVScrollBarPosition(int y) {
  y = std::clamp(y, 0, MaxScrollPosition());
  if (y != vScrollBar_->Position32()) ScrollTo(y);
}

void THTMLViewer::VScrollMessage(int code) {
  const int old = vScrollBar_->Position32();
  int pos = old;
  switch (code) {
    case SB_LINEUP: pos = old - vScrollBar_->SmallChange; break;
    case SB_LINEDOWN: pos = old + vScrollBar_->SmallChange; break;
    case SB_PAGEUP: pos = old - vScrollBar_->LargeChange; break;
    case SB_PAGEDOWN: pos = old + vScrollBar_->LargeChange; break;
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = scrollHeight_ - PaintHeight(); break;
    case SB_THUMBTRACK: pos = vScrollBar_->TrackPosition32(); break;
    default: return;
  }
  pos = std::clamp(pos, 0, MaxScrollPosition());
  if (pos == old) return;
  vScrollBar_->SetPosition32(pos);
  sectionList_->SetYOffset(pos);
  paintPanel_->ScrollWindow(0, old - pos);
  paintPanel_->Update();
}

void THTMLViewer::HScrollBarScroll(int& pos) {
  pos = std::clamp(pos, 0, std::max(0, hScrollBar_->Max() - paintPanel_->Width()));
  paintPanel_->Invalidate();
}

TViewerPosition THTMLViewer::GetPosition() const {
  const int y = vScrollBar_->Position32();
  int sectionY = 0, index = 0;
  if (sectionList_->FindSectionAtPosition(y, sectionY, index))
    return ((static_cast<TViewerPosition>(index) + 1) << 32) + (static_cast<TViewerPosition>(y) - sectionY);
  return y;
}

void THTMLViewer::SetPosition(TViewerPosition pos) {
  const TViewerPosition high = pos >> 32;
  const auto low = static_cast<std::uint32_t>(pos & 0xFFFFFFFF);
  if (high <= 0) {
    ScrollTo(static_cast<int>(std::clamp<TViewerPosition>(pos, 0, kMaxDocumentCoordinate)));
    return;
  }
  const auto index = static_cast<std::size_t>(high - 1);
  if (index >= sectionList_->PositionList.size()) return;
  TSectionBase* section = sectionList_->PositionList[index];
  ScrollTo(SumCoordinates(section->GetYPosition(), std::min<std::uint32_t>(low, kMaxDocumentCoordinate)));
}

bool THTMLViewer::JumpToAnchor(const std::string& anchor) {
  const std::string name = !anchor.empty() && anchor[0] == '#' ? anchor.substr(1) : anchor;
  if (name.empty() || !sectionList_->IDNameList) return false;
  const int index = sectionList_->IDNameList->IndexOf(name);
  if (index < 0) return false;
  auto* object = dynamic_cast<TIDObject*>(sectionList_->IDNameList->GetObject(index));
  if (!object) return false;
  ScrollTo(object->GetYPosition());
  hScrollBar_->SetPosition(0);
  AddVisitedLink(currentFile_ + "#" + name);
  return true;
}

// ---- messages ------------------------------------------------------------------

void THTMLViewer::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_SIZE:
      TWinControl::WndProc(message);
      HandleSize();
      return;
    case kFormSubmitMessage:
      DeliverFormSubmit();
      return;
    case kAutoScrollMessage:
      AutoScrollLoop();
      return;
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS;  // the arrow keys scroll the page
      return;
    case WM_KEYDOWN:
      KeyDownScroll(static_cast<unsigned short>(message.WParam));
      TWinControl::WndProc(message);
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TWinControl::WndProc(message);
      RefreshBorder();
      return;
    default:
      TWinControl::WndProc(message);
  }
}

void THTMLViewer::FormControlEnter(TFormControlObj* control) {
  const int y = control->GetYPosition();
  const int top = vScrollBar_->Position32();
  if (y < top || y > top + PaintHeight() - 20) {
    ScrollTo(y - PaintHeight() / 2);
    paintPanel_->Invalidate();
  }
}

void THTMLViewer::DeliverFormSubmit() {
  if (pendingSubmits_.empty()) return;
  // Taken off the queue first: the handler may submit again or load a page.
  const TPendingSubmit submit = std::move(pendingSubmits_.front());
  pendingSubmits_.pop_front();
  if (onFormSubmit_)
    onFormSubmit_(this, submit.Action, submit.Target, submit.EncType, submit.Method, submit.Results);
}

}  // namespace lark
