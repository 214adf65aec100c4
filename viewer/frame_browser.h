#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/exception.h"
#include "viewer/frame_set.h"
#include "viewer/frame_viewer_base.h"

namespace lark {

class TStringBitmapList;

// A document the browser could not show.
LARK_EXCEPTION_CLASS(EfvLoadError, Exception);

using TGetPostRequestEvent =
    std::function<void(TObject* sender, bool isGet, const std::string& url, const std::string& query, bool reload,
                       std::string& newURL, ThtmlFileType& docType, TMemoryStream*& stream)>;
using TGetPostRequestExEvent = std::function<void(
    TObject* sender, bool isGet, const std::string& url, const std::string& query, const std::string& encType,
    const std::string& referer, bool reload, std::string& newURL, ThtmlFileType& docType, TMemoryStream*& stream)>;
using TGetImageEvent = std::function<void(TObject* sender, const std::string& src, TMemoryStream*& stream)>;
using TbrFormSubmitEvent = std::function<void(TObject* sender, THTMLViewer* viewer, const std::string& action,
                                              const std::string& target, const std::string& encType,
                                              const std::string& method, std::vector<std::string>& results,
                                              bool& handled)>;

enum fvOptionEnum : unsigned {
  fvMetaRefresh = 1u << 0,
  fvNoBorder = 1u << 1,
  fvNoLinkUnderline = 1u << 2,
  fvOverLinksActive = 1u << 3,
  fvPrintMonochromeBlack = 1u << 4,
  fvPrintTableBackground = 1u << 5,
  fvShowVScroll = 1u << 6,
};
using TFrameViewerOptions = unsigned;

// The browser of the main window: asks the application for every document
// and shows each answer as a page of frames.
class TFrameBrowser : public TFVBase {
 public:
  explicit TFrameBrowser(TComponent* owner);
  ~TFrameBrowser() override;

  void LoadURL(const std::string& url);
  void LoadURLInternal(const std::string& url, const std::string& query, const std::string& encType,
                       const std::string& referer, bool isGet, bool reload);
  void Reload();
  void Clear();

  [[nodiscard]] const std::string& DocumentTitle() const;
  [[nodiscard]] std::string CurrentFile() const override;
  [[nodiscard]] int ViewerCount() const override;
  [[nodiscard]] THTMLViewer* Viewers(int index) const override;
  [[nodiscard]] THTMLViewer* ActiveViewer() const override;
  [[nodiscard]] TbrFrameSet* CurFrameSet() const { return curFrameSet_.get(); }
  // Another frame's viewer took the focus: the commands on the active viewer
  // follow it between history changes.
  TNotifyEvent OnActiveViewerChange;

  // ---- page history ----
  void GoBack();
  void GoFwd();
  [[nodiscard]] bool BackButtonEnabled() const;
  [[nodiscard]] bool FwdButtonEnabled() const;
  void SetHistoryIndex(int value);
  [[nodiscard]] int HistoryIndex() const { return historyIndex_; }
  [[nodiscard]] int HistoryCount() const { return static_cast<int>(pageHistory_.size()); }
  [[nodiscard]] const std::string& HistoryURL(int index) const { return pageHistory_[index].URL; }
  [[nodiscard]] const std::string& HistoryTitle(int index) const { return pageHistory_[index].Title; }
  void ClearHistory() override;

  [[nodiscard]] TFrameViewerOptions fvOptions() const { return options_; }
  void SetfvOptions(TFrameViewerOptions options);
  [[nodiscard]] bool NoBorder() const { return (options_ & fvNoBorder) != 0; }
  void SetOnImageRequest(TGetImageEvent handler);
  // While set, drops on any viewer reach them with the browser as Sender.
  void SetOnDragDrop(TDragDropEvent handler);
  void SetOnDragOver(TDragOverEvent handler);
  // Each viewer with a document and the browser edges its frame touches
  // ("l", "t", "r", "b"), within 2 pixels.
  [[nodiscard]] std::vector<std::pair<THTMLViewer*, std::string>> ViewerEdges() const;

  TGetPostRequestEvent OnGetPostRequest;
  TGetPostRequestExEvent OnGetPostRequestEx;
  std::function<void(THTMLViewer* viewer)> OnViewerClear;
  TbrFormSubmitEvent OnFormSubmit;

  // ---- for the frames ----
  // Asks the application; the answer's bytes are copied at once (the
  // application reuses its stream). Null when none came.
  std::unique_ptr<TMemoryStream> RequestDocument(TObject* sender, bool isGet, const std::string& url,
                                                 const std::string& query, const std::string& encType,
                                                 const std::string& referer, bool reload, std::string& newURL,
                                                 ThtmlFileType& docType);
  void ConnectViewer(THTMLViewer& viewer, TbrFrame& frame);
  // A frame of a one-viewer page showed another document.
  void RecordOneFramePage(const std::string& oldURL, const std::string& oldTitle, TViewerPosition oldPos);
  void HistoryChanged();
  [[nodiscard]] const TMetaHandler& OnMetaEvent() const { return onMeta_; }
  void ConnectImageRequest(THTMLViewer& viewer);
  void AddVisited(const std::string& url);
  void MarkVisitedLinks();

 protected:
  void VisitedCleared() override;

 public:
  class BusyScope;

 private:
  struct TPageEntry {
    std::string URL, Title;
    std::shared_ptr<TbrFrameSet> FrameSet;
    TViewerPosition Pos = 0;
  };

  std::shared_ptr<TbrFrameSet> NewFrameSet();
  // The drag handlers forwarded with the browser as Sender; empty while the
  // browser's own are unassigned.
  [[nodiscard]] TDragDropEvent ForwardedDragDrop();
  [[nodiscard]] TDragOverEvent ForwardedDragOver();
  void ConnectDrag(THTMLViewer& viewer);
  // fvOptions as the viewer's htOptions.
  void ApplyOptions(THTMLViewer& viewer) const;
  // The current page's panel and viewers get the drag handlers and options
  // set now (a page back from history may have missed changes).
  void ConnectCurrentPage();
  void HotSpotClick(THTMLViewer* viewer, TbrFrame* frame, const std::string& link, bool& handled);
  void HotSpotCovered(THTMLViewer* viewer, TbrFrame* frame, const std::string& link);
  void FormSubmit(THTMLViewer* viewer, TbrFrame* frame, const std::string& action, const std::string& target,
                  const std::string& encType, const std::string& method, const std::vector<std::string>& results);
  [[nodiscard]] std::string FullURL(THTMLViewer* viewer, TbrFrame* frame, const std::string& link) const;
  // A target name: a frame, the page (null frame, true), or nothing.
  bool ResolveTarget(TbrFrame* clicked, const std::string& target, TbrFrame*& frame) const;
  void RecordNewPage(std::shared_ptr<TbrFrameSet> oldSet, const std::string& oldURL, const std::string& oldTitle,
                     TViewerPosition oldPos);
  void RecordSamePage(TViewerPosition oldPos);
  void AddPageEntry();
  [[nodiscard]] TViewerPosition SingleViewerPosition() const;

  std::shared_ptr<TbrFrameSet> curFrameSet_;
  std::vector<TPageEntry> pageHistory_;
  int historyIndex_ = 0;
  TFrameViewerOptions options_ = fvPrintMonochromeBlack | fvPrintTableBackground;
  TGetImageEvent onImageRequest_;
  TDragDropEvent onDragDrop_;
  TDragOverEvent onDragOver_;
  std::unique_ptr<TStringBitmapList> imageCache_;
  std::unique_ptr<TMemoryStream> styleSheet_;  // the last sheet a viewer asked for
  bool submitting_ = false;
};

// The browser's own busy flag for one load; cleared however it ends.
class TFrameBrowser::BusyScope {
 public:
  explicit BusyScope(TFrameBrowser& browser) : browser_(browser) { browser_.SetBusy(true); }
  ~BusyScope() { browser_.SetBusy(false); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TFrameBrowser& browser_;
};

}  // namespace lark
