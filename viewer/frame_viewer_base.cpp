#include "viewer/frame_viewer_base.h"

#include <algorithm>

#include "platform/core/string_routines.h"
#include "platform/windows/messages.h"

namespace lark {
namespace {

// The clipboard buffer the copy fills; a selection this long would be cut.
constexpr int kClipboardBufferBytes = 32000;

}  // namespace

void TFrameViewerBase::WndProc(TMessage& message) {
  if (message.Msg == WM_ERASEBKGND) {
    message.Result = 1;
    return;
  }
  TWinControl::WndProc(message);
}

TFVBase::TFVBase(TComponent* owner) : TFrameViewerBase(owner) {}

void TFVBase::ForEachViewer(const std::function<void(THTMLViewer&)>& action) const {
  for (int i = 0; i < ViewerCount(); ++i)
    if (THTMLViewer* viewer = Viewers(i)) action(*viewer);
}

bool TFVBase::IsOwnViewer(const THTMLViewer* viewer) const {
  for (int i = 0; i < ViewerCount(); ++i)
    if (Viewers(i) == viewer) return true;
  return false;
}

void TFVBase::SetFocus() {
  THTMLViewer* viewer = ActiveViewer();
  if (viewer && viewer->CanFocus())
    viewer->SetFocus();
  else
    TFrameViewerBase::SetFocus();
}

void TFVBase::CopyToClipboard() {
  THTMLViewer* viewer = ActiveViewer();
  if (!viewer || viewer->GetSelLength() == 0) return;
  if (std::abs(viewer->GetSelLength()) >= kClipboardBufferBytes)
    throw EBufferTooSmall("Selected text exceeds buffer size");
  viewer->CopyToClipboard();
}

void TFVBase::SelectAll() {
  if (THTMLViewer* viewer = ActiveViewer()) viewer->SelectAll();
}

bool TFVBase::Find(const std::string& text, bool matchCase) {
  THTMLViewer* viewer = ActiveViewer();
  return viewer && viewer->Find(text, matchCase);
}

bool TFVBase::InsertImage(THTMLViewer* viewer, const std::string& src, TMemoryStream& stream) {
  // The application may answer for a viewer a later page has dropped.
  if (!IsOwnViewer(viewer)) return false;
  try {
    return viewer->InsertImage(src, stream);
  } catch (const std::exception&) {
    return false;
  }
}

void TFVBase::SetViewerCursor(TCursor cursor) {
  cursor_ = cursor;
  ForEachViewer([cursor](THTMLViewer& v) { v.SetCursor(cursor); });
}

void TFVBase::SetViewImages(bool value) {
  if (value == viewImages_ || Busy()) return;
  viewImages_ = value;
  ForEachViewer([value](THTMLViewer& v) { v.SetViewImages(value); });
}

void TFVBase::SetImageCacheCount(int count) {
  if (count == imageCacheCount_ || Busy()) return;
  imageCacheCount_ = count;
  ForEachViewer([count](THTMLViewer& v) { v.SetImageCacheCount(count); });
}

void TFVBase::SetNoSelect(bool value) {
  if (value == noSelect_) return;
  noSelect_ = value;
  ForEachViewer([value](THTMLViewer& v) { v.SetNoSelect(value); });
}

void TFVBase::SetDefBackground(TColor color) {
  if (color == defBackground_) return;
  defBackground_ = color;
  ForEachViewer([color](THTMLViewer& v) { v.SetDefBackground(color); });
  SetColor(color);
}

void TFVBase::SetDefFontName(const std::string& name) {
  if (SameText(name, defFontName_)) return;
  defFontName_ = name;
  ForEachViewer([&name](THTMLViewer& v) { v.DefFontName = name; });
}

void TFVBase::SetDefPreFontName(const std::string& name) {
  if (SameText(name, defPreFontName_)) return;
  defPreFontName_ = name;
  ForEachViewer([&name](THTMLViewer& v) { v.SetDefPreFontName(name); });
}

void TFVBase::SetDefFontSize(int size) {
  if (size == defFontSize_) return;
  defFontSize_ = size;
  ForEachViewer([size](THTMLViewer& v) { v.SetDefFontSize(size); });
}

void TFVBase::SetDefFontColor(TColor color) {
  if (color == defFontColor_) return;
  defFontColor_ = color;
  ForEachViewer([color](THTMLViewer& v) { v.DefFontColor = color; });
}

void TFVBase::SetDefHotSpotColor(TColor color) {
  if (color == defHotSpotColor_) return;
  defHotSpotColor_ = color;
  ForEachViewer([color](THTMLViewer& v) { v.SetDefHotSpotColor(color); });
}

void TFVBase::SetDefVisitedLinkColor(TColor color) {
  if (color == defVisitedLinkColor_) return;
  defVisitedLinkColor_ = color;
  ForEachViewer([color](THTMLViewer& v) { v.SetDefVisitedLinkColor(color); });
}

void TFVBase::SetDefOverLinkColor(TColor color) {
  if (color == defOverLinkColor_) return;
  defOverLinkColor_ = color;
  ForEachViewer([color](THTMLViewer& v) { v.SetDefOverLinkColor(color); });
}

void TFVBase::SetMarginWidth(int value) {
  if (value == marginWidth_) return;
  marginWidth_ = value;
  ForEachViewer([value](THTMLViewer& v) { v.MarginWidth = value; });
}

void TFVBase::SetMarginHeight(int value) {
  if (value == marginHeight_) return;
  marginHeight_ = value;
  ForEachViewer([value](THTMLViewer& v) { v.MarginHeight = value; });
}

void TFVBase::SetCharSet(int value) {
  if (value == charSet_) return;
  charSet_ = value;
  ForEachViewer([value](THTMLViewer& v) { v.CharSet = value; });
}

void TFVBase::SetPrintMargins(double left, double right, double top, double bottom) {
  printMargins_[0] = left, printMargins_[1] = right, printMargins_[2] = top, printMargins_[3] = bottom;
  ForEachViewer([&](THTMLViewer& v) {
    v.PrintMarginLeft = left, v.PrintMarginRight = right, v.PrintMarginTop = top, v.PrintMarginBottom = bottom;
  });
}

void TFVBase::SetVisitedMaxCount(int count) {
  count = std::max(count, 0);
  if (count == visitedMaxCount_) return;
  visitedMaxCount_ = count;
  while (visited_.Count() > count) visited_.Delete(visited_.Count() - 1);
  if (count == 0) {
    VisitedCleared();
    Repaint();
  }
}

void TFVBase::SetHistoryMaxCount(int count) {
  if (count == historyMaxCount_ || count < 0) return;
  historyMaxCount_ = count;
  ClearHistory();
  ForEachViewer([count](THTMLViewer& v) {
    v.ClearHistory();
    v.SetHistoryMaxCount(count);
  });
}

void TFVBase::SetOnImageClick(TImageClickEvent handler) {
  onImageClick_ = std::move(handler);
  ForEachViewer([this](THTMLViewer& v) { v.OnImageClick = onImageClick_; });
}
void TFVBase::SetOnImageOver(TImageOverEvent handler) {
  onImageOver_ = std::move(handler);
  ForEachViewer([this](THTMLViewer& v) { v.OnImageOver = onImageOver_; });
}
void TFVBase::SetOnRightClick(TRightClickEvent handler) {
  onRightClick_ = std::move(handler);
  ForEachViewer([this](THTMLViewer& v) { v.OnRightClick = onRightClick_; });
}
void TFVBase::SetOnMouseDouble(TMouseEvent handler) {
  onMouseDouble_ = std::move(handler);
  ForEachViewer([this](THTMLViewer& v) { v.OnMouseDouble = onMouseDouble_; });
}
void TFVBase::SetOnMeta(TMetaHandler handler) {
  onMeta_ = std::move(handler);
  ForEachViewer([this](THTMLViewer& v) { v.OnMeta = onMeta_; });
}
void TFVBase::SetOnParseBegin(std::function<void(TObject*, std::string&)> handler) {
  onParseBegin_ = std::move(handler);
  ForEachViewer([this](THTMLViewer& v) { v.OnParseBegin = onParseBegin_; });
}
void TFVBase::SetOnPrintHeader(TPagePrinted handler) {
  onPrintHeader_ = std::move(handler);
  ForEachViewer([this](THTMLViewer& v) { v.OnPrintHeader = onPrintHeader_; });
}
void TFVBase::SetOnPrintFooter(TPagePrinted handler) {
  onPrintFooter_ = std::move(handler);
  ForEachViewer([this](THTMLViewer& v) { v.OnPrintFooter = onPrintFooter_; });
}

void TFVBase::ApplySettings(THTMLViewer& v) const {
  v.SetViewImages(viewImages_);
  v.SetImageCacheCount(imageCacheCount_);
  v.SetNoSelect(noSelect_);
  v.SetDefBackground(defBackground_);
  v.DefFontName = defFontName_;
  v.SetDefPreFontName(defPreFontName_);
  v.SetDefFontSize(defFontSize_);
  v.DefFontColor = defFontColor_;
  v.SetDefHotSpotColor(defHotSpotColor_);
  v.SetDefVisitedLinkColor(defVisitedLinkColor_);
  v.SetDefOverLinkColor(defOverLinkColor_);
  v.CharSet = charSet_;
  v.SetCursor(cursor_);
  v.SetHistoryMaxCount(historyMaxCount_);
  v.PrintMarginLeft = printMargins_[0], v.PrintMarginRight = printMargins_[1];
  v.PrintMarginTop = printMargins_[2], v.PrintMarginBottom = printMargins_[3];
  v.OnImageClick = onImageClick_;
  v.OnImageOver = onImageOver_;
  v.OnRightClick = onRightClick_;
  v.OnMouseDouble = onMouseDouble_;
  v.OnMeta = onMeta_;
  v.OnParseBegin = onParseBegin_;
  v.OnPrintHeader = onPrintHeader_;
  v.OnPrintFooter = onPrintFooter_;
  v.OnInclude = OnInclude;
  v.OnSoundRequest = OnSoundRequest;
}

void TFVBase::ReportBusyChange(bool wasBusy) {
  if (Busy() != wasBusy && OnProcessing) OnProcessing(this, Busy());
}

void TFVBase::SetBusy(bool value) {
  const bool was = Busy();
  processing_ = value;
  ReportBusyChange(was);
}

void TFVBase::ForgetBusyViewers() {
  const bool was = Busy();
  busyViewers_.clear();
  ReportBusyChange(was);
}

void TFVBase::ViewerProcessing(THTMLViewer* viewer, bool on) {
  const bool was = Busy();
  const auto at = std::find(busyViewers_.begin(), busyViewers_.end(), viewer);
  if (on && at == busyViewers_.end()) busyViewers_.push_back(viewer);
  if (!on && at != busyViewers_.end()) busyViewers_.erase(at);
  ReportBusyChange(was);
}

}  // namespace lark
