#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/core/string_list.h"
#include "platform/windows/win_control.h"
#include "viewer/html_viewer.h"

namespace lark {

class TMemoryStream;

using TProcessingEvent = std::function<void(TObject* sender, bool processingOn)>;
using TWindowRequestEvent = std::function<void(TObject* sender, const std::string& target, const std::string& url)>;
using THotSpotTargetEvent = std::function<void(TObject* sender, const std::string& target, const std::string& url)>;
using THotSpotTargetClickEvent =
    std::function<void(TObject* sender, const std::string& target, const std::string& url, bool& handled)>;

// The browser's window: its children cover it, so its background is never
// erased under them.
class TFrameViewerBase : public TWinControl {
 public:
  using TWinControl::TWinControl;

 protected:
  void WndProc(TMessage& message) override;
};

// One copy of every display setting of the frame viewers, handed to each
// viewer shown and to those made later; busy tracking over all of them.
class TFVBase : public TFrameViewerBase {
 public:
  explicit TFVBase(TComponent* owner);

  [[nodiscard]] virtual int ViewerCount() const = 0;
  [[nodiscard]] virtual THTMLViewer* Viewers(int index) const = 0;
  [[nodiscard]] virtual THTMLViewer* ActiveViewer() const = 0;
  [[nodiscard]] virtual std::string CurrentFile() const = 0;

  void SetFocus() override;

  // ---- operations on the active viewer ----
  void CopyToClipboard();
  void SelectAll();
  bool Find(const std::string& text, bool matchCase);
  // Prints pages fromPage..toPage of the active viewer's document.
  void Print(int fromPage, int toPage);
  // A late image for one of this browser's live viewers; false otherwise.
  bool InsertImage(THTMLViewer* viewer, const std::string& src, TMemoryStream& stream);

  // ---- settings forwarded to every viewer ----
  void SetViewerCursor(TCursor cursor);
  [[nodiscard]] TCursor ViewerCursor() const { return cursor_; }
  void SetViewImages(bool value);
  [[nodiscard]] bool ViewImages() const { return viewImages_; }
  void SetImageCacheCount(int count);
  [[nodiscard]] int ImageCacheCount() const { return imageCacheCount_; }
  void SetNoSelect(bool value);
  [[nodiscard]] bool NoSelect() const { return noSelect_; }
  void SetDefBackground(TColor color);
  [[nodiscard]] TColor DefBackground() const { return defBackground_; }
  void SetDefFontName(const std::string& name);
  [[nodiscard]] const std::string& DefFontName() const { return defFontName_; }
  void SetDefPreFontName(const std::string& name);
  [[nodiscard]] const std::string& DefPreFontName() const { return defPreFontName_; }
  void SetDefFontSize(int size);
  [[nodiscard]] int DefFontSize() const { return defFontSize_; }
  void SetDefFontColor(TColor color);
  [[nodiscard]] TColor DefFontColor() const { return defFontColor_; }
  void SetDefHotSpotColor(TColor color);
  void SetDefVisitedLinkColor(TColor color);
  void SetDefOverLinkColor(TColor color);
  [[nodiscard]] TColor DefHotSpotColor() const { return defHotSpotColor_; }
  [[nodiscard]] TColor DefVisitedLinkColor() const { return defVisitedLinkColor_; }
  [[nodiscard]] TColor DefOverLinkColor() const { return defOverLinkColor_; }
  void SetMarginWidth(int value);
  void SetMarginHeight(int value);
  [[nodiscard]] int MarginWidth() const { return marginWidth_; }
  [[nodiscard]] int MarginHeight() const { return marginHeight_; }
  void SetCharSet(int value);
  [[nodiscard]] int CharSet() const { return charSet_; }
  void SetPrintMargins(double left, double right, double top, double bottom);
  // Centimetres, as set.
  [[nodiscard]] double PrintMarginLeft() const { return printMargins_[0]; }
  [[nodiscard]] double PrintMarginRight() const { return printMargins_[1]; }
  [[nodiscard]] double PrintMarginTop() const { return printMargins_[2]; }
  [[nodiscard]] double PrintMarginBottom() const { return printMargins_[3]; }
  void SetVisitedMaxCount(int count);
  [[nodiscard]] int VisitedMaxCount() const { return visitedMaxCount_; }
  void SetHistoryMaxCount(int count);
  [[nodiscard]] int HistoryMaxCount() const { return historyMaxCount_; }
  void SetOnImageClick(TImageClickEvent handler);
  void SetOnImageOver(TImageOverEvent handler);
  void SetOnRightClick(TRightClickEvent handler);
  void SetOnMouseDouble(TMouseEvent handler);
  void SetOnMeta(TMetaHandler handler);
  void SetOnParseBegin(std::function<void(TObject*, std::string&)> handler);
  void SetOnPrintHeader(TPagePrinted handler);
  void SetOnPrintFooter(TPagePrinted handler);

  // Given to each viewer when it is made.
  TIncludeHandler OnInclude;
  TSoundRequestHandler OnSoundRequest;
  TProcessingEvent OnProcessing;
  TNotifyEvent OnHistoryChange;
  TWindowRequestEvent OnBlankWindowRequest;
  THotSpotTargetEvent OnHotSpotTargetCovered;
  THotSpotTargetClickEvent OnHotSpotTargetClick;

  // Shared by every frame, newest first.
  [[nodiscard]] const TStringList& Visited() const { return visited_; }
  // Either busy flag.
  [[nodiscard]] bool Busy() const { return processing_ || !busyViewers_.empty(); }

  // Gives a new viewer every setting above.
  void ApplySettings(THTMLViewer& viewer) const;
  // A viewer's processing report.
  void ViewerProcessing(THTMLViewer* viewer, bool on);

 protected:
  // The browser's own busy flag.
  void SetBusy(bool value);
  void ForgetBusyViewers();
  void ForEachViewer(const std::function<void(THTMLViewer&)>& action) const;
  [[nodiscard]] bool IsOwnViewer(const THTMLViewer* viewer) const;
  virtual void ClearHistory() = 0;
  virtual void VisitedCleared() = 0;

  TStringList visited_;
  TMetaHandler onMeta_;

 private:
  void ReportBusyChange(bool wasBusy);

  TCursor cursor_ = kTextCursor;
  bool viewImages_ = true;
  int imageCacheCount_ = 5;
  bool noSelect_ = false;
  TColor defBackground_ = clBtnFace;
  std::string defFontName_ = "Times New Roman";
  std::string defPreFontName_ = "Courier New";
  int defFontSize_ = 12;
  TColor defFontColor_ = clBtnText;
  TColor defHotSpotColor_ = clBlue, defVisitedLinkColor_ = clPurple, defOverLinkColor_ = clBlue;
  int marginWidth_ = 10, marginHeight_ = 5;
  int charSet_ = 1;
  double printMargins_[4] = {2.0, 2.0, 2.0, 2.0};
  int visitedMaxCount_ = 50;
  int historyMaxCount_ = 0;
  TImageClickEvent onImageClick_;
  TImageOverEvent onImageOver_;
  TRightClickEvent onRightClick_;
  TMouseEvent onMouseDouble_;
  std::function<void(TObject*, std::string&)> onParseBegin_;
  TPagePrinted onPrintHeader_, onPrintFooter_;
  bool processing_ = false;
  std::vector<THTMLViewer*> busyViewers_;
};

}  // namespace lark
