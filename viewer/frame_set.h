#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/stream.h"
#include "platform/windows/panel.h"
#include "platform/windows/timer.h"
#include "viewer/frameset_parser.h"
#include "viewer/html_viewer.h"

namespace lark {

class TFrameBrowser;
class TbrFrame;
class TbrFrameSet;
class TbrSubFrameSet;
class TTimer;

// A FRAMESET divides its area among at most this many children; later
// FRAME and FRAMESET tags are refused.
inline constexpr int kMaxFrameDimensions = 20;
// Frames of one page at every depth together (a page that frames itself
// would otherwise grow without end); more are refused.
inline constexpr int kMaxFramesPerPage = 100;
// Frame documents loaded inside frame documents.
inline constexpr int kMaxFrameLoadNesting = 4;
// Border and margin widths a document may ask for.
inline constexpr int kMaxFrameBorderWidth = 100;
inline constexpr int kMaxFrameMargin = 200;

// One FRAMESET dimension: >= 0 pixels, -1..-99 a weight n*, below -99 a
// percentage, -(100 + percent).
using TFrameDimension = std::int16_t;

// Reads a ROWS or COLS value: at most kMaxFrameDimensions entries;
// percentages above 900 count as 900, pixels above 5000 as 5000, weights
// above 99 as 99.
[[nodiscard]] std::vector<TFrameDimension> ReadFrameDimensions(std::string_view value);

// Divides `length` among the dimensions; no size is negative, whatever the
// room.
[[nodiscard]] std::vector<int> DivideFrameLength(const std::vector<TFrameDimension>& dims, int length);

// A Linux reading of a DOS-style name in a document: "\" becomes "/".
[[nodiscard]] std::string DosNameToURL(std::string_view name);

// Every frame history entry takes the next number, program-wide; Back and
// Forward compare them. 64 bits: it never wraps.
std::int64_t& FrameHistorySequence();
// A frame's history keeps the newest entries.
inline constexpr int kMaxFrameHistory = 100;

struct TFrameHistoryEntry {
  std::string URL;
  std::shared_ptr<TbrSubFrameSet> FrameSet;  // what the frame showed, or null
  TViewerPosition Pos = 0;
  std::int64_t Seq = 0;
  std::vector<std::vector<std::string>> FormData;
};

// A panel of a page: one frame or one frameset.
class TbrFrameBase : public TCustomPanel {
 public:
  explicit TbrFrameBase(TbrFrameSet* masterSet);

  TbrFrameSet* MasterSet = nullptr;
  std::string URLBase;
  bool Unloaded = false;
  int CharSet = 1;

  virtual void UpdateFrameList() = 0;
  virtual void LoadFiles() = 0;
  virtual void ReloadFiles(TViewerPosition position) = 0;
  virtual void UnloadFiles() = 0;
  // Whether the area holds a NORESIZE frame, and whether it touches the
  // lower and the upper end.
  virtual bool CheckNoResize(bool& lower, bool& upper) = 0;
};

// One frame: a viewer, or a nested frameset.
class TbrFrame : public TbrFrameBase {
 public:
  TbrFrame(TbrSubFrameSet* owner, TbrFrameSet* masterSet, const TAttributeList* attributes);
  ~TbrFrame() override;

  void UpdateFrameList() override;
  void LoadFiles() override;
  void ReloadFiles(TViewerPosition position) override;
  void UnloadFiles() override;
  bool CheckNoResize(bool& lower, bool& upper) override;
  void SetBounds(int left, int top, int width, int height) override;

  void LoadFrameURL(const std::string& url, const std::string& dest, const std::string& query,
                    const std::string& encType, const std::string& referer, bool bump, bool isGet, bool reload);
  void CreateFrameViewer();

  // A META refresh of the frame's document.
  void MetaRefresh(int delay, const std::string& url);
  void StopRefresh();
  [[nodiscard]] TTimer* RefreshTimer() const { return refreshTimer_.get(); }
  void RefreshTimerTimer();

  // ---- history ----
  void RecordInitialFrameHistory(const std::string& url, TViewerPosition pos);
  void PushFrameHistory(const std::string& url, TViewerPosition newPos, TViewerPosition oldPos,
                        std::vector<std::vector<std::string>> oldFormData);
  void SetFrameHistoryIndex(int value);
  [[nodiscard]] int FrameHistoryIndex() const { return historyIndex_; }
  [[nodiscard]] std::vector<TFrameHistoryEntry>& FrameHistory() { return history_; }
  void ClearFrameHistory();
  void ResetHistoryIndex() { historyIndex_ = 0; }


  [[nodiscard]] THTMLViewer* Viewer() const { return viewer_; }
  [[nodiscard]] TbrSubFrameSet* FrameSet() const { return frameSet_.get(); }
  [[nodiscard]] TbrSubFrameSet& Owner() const { return *owner_; }
  std::string Source, OrigSource, Destination, FrameName;
  bool NoScroll = false, NoResize = false;
  int MarginWidth = 10, MarginHeight = 5;
  // The document handed over for the first load, read at once.
  std::unique_ptr<TMemoryStream> FirstStream;
  ThtmlFileType FirstDocType = ThtmlFileType::ftHTML;


 private:
  void LoadViewer(TMemoryStream& stream, ThtmlFileType docType);
  void ShowErrorPage();
  void DropViewer();
  void SetFrameBevel();

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void WndProc(TMessage& message) override;

 private:
  [[nodiscard]] std::shared_ptr<TbrSubFrameSet> MakeNestedFrameSet(std::string_view document);

  TbrSubFrameSet* owner_;
  THTMLViewer* viewer_ = nullptr;  // a child: freed with the frame, or handed on
  std::shared_ptr<TbrSubFrameSet> frameSet_;
  TViewerPosition savedPos_ = 0;
  std::vector<std::vector<std::string>> savedFormData_;
  std::vector<TFrameHistoryEntry> history_;
  int historyIndex_ = 0;
  std::unique_ptr<TTimer> refreshTimer_;
  std::string refreshURL_;
};

// A FRAMESET: divides its area into rows or columns of frames.
class TbrSubFrameSet : public TbrFrameBase, public TFrameSetBuilder {
 public:
  explicit TbrSubFrameSet(TbrFrameSet* masterSet);
  ~TbrSubFrameSet() override;

  // ---- the reader's callbacks ----
  void InitializeFromAttributes(const TAttributeList& attributes) override;
  bool AddFrame(const TAttributeList& attributes) override;
  TFrameSetBuilder* CreateSubFrameSet(const TAttributeList& attributes) override;
  void Finish() override;

  void UpdateFrameList() override;
  void LoadFiles() override;
  void ReloadFiles(TViewerPosition position) override;
  void UnloadFiles() override;
  bool CheckNoResize(bool& lower, bool& upper) override;

  virtual void EmptyFrameSet();
  // Gives each child its share of the area inside the outer border.
  void PlaceChildren();
  void SetBounds(int left, int top, int width, int height) override;
  // Parses a frameset document into this frameset.
  void ParseFrameSetDocument(std::string_view text);
  // The frame names of the children, given to or taken from the page.
  void AddFrameNames();
  void RemoveFrameNames();
  // Leaves the page, living on only in history entries.
  void Detach();
  // The META callback of a frameset document.
  void FrameSetMeta(TObject* sender, const std::string& httpEq, const std::string& name, const std::string& content);
  void StartRefresh();
  void StopRefresh();
  [[nodiscard]] TTimer* RefreshTimer() const { return refreshTimer_.get(); }
  void RefreshTimerTimer();

  std::string FrameSetBase, FrameSetBaseTarget;
  int OuterBorder = 0;
  int FrameBorderWidth = 2;
  bool Rows = false;
  std::vector<std::unique_ptr<TbrFrameBase>> List;
  std::vector<TFrameDimension> Dim;
  std::vector<int> Size, Line;
  std::vector<bool> BorderLocked;
  std::string RefreshURL;
  int RefreshDelay = 0;
  TbrFrameBase* OwnerFrame = nullptr;  // the frame that holds this set, or null at the top

  // ---- border dragging (frames pass their mouse on, in our coordinates) ----
  void BorderMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void BorderMouseMove(TShiftState shift, int x, int y);
  void BorderMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // Ends a drag without moving the border (cancel, unload, hide, destroy).
  void CancelDrag();
  [[nodiscard]] bool Dragging() const { return dragBorder_ > 0; }

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void WndProc(TMessage& message) override;
  void VisibleChanging() override;

 private:
  [[nodiscard]] int NearestBorder(int pos) const;
  [[nodiscard]] TRect DragLineRect(int pos) const;
  void DrawDragLine();
  std::unique_ptr<TTimer> refreshTimer_;
  int hotBorder_ = 0;
  int dragBorder_ = 0;
  int dragPos_ = 0;
};

// A nested frameset, shared by its frame and the history entries.
[[nodiscard]] std::shared_ptr<TbrSubFrameSet> MakeSubFrameSet(TbrFrameSet* masterSet);

// The top of one page.
class TbrFrameSet : public TbrSubFrameSet {
 public:
  explicit TbrFrameSet(TFrameBrowser* browser);
  ~TbrFrameSet() override;

  void EmptyFrameSet() override;
  void LoadFromStream(TMemoryStream& stream, ThtmlFileType docType, const std::string& dest,
                      const std::string& url);
  void RebuildFrameList();
  void DropForwardEntries();
  void SetBounds(int left, int top, int width, int height) override;
  // Makes the page lay itself out at its next resize.
  void ForgetSize() { rememberedWidth_ = rememberedHeight_ = -1; }

  TFrameBrowser* Browser;
  std::string Title, CurrentFile;
  // Upper-case names with their frames.
  std::vector<std::pair<std::string, TbrFrame*>> FrameNames;
  std::vector<THTMLViewer*> Viewers;
  std::vector<TbrFrame*> Frames;
  THTMLViewer* ActiveViewer = nullptr;
  int NestLevel = 0;
  // Frames made for this page at every depth; capped.
  int FrameCount = 0;

  [[nodiscard]] TbrFrame* FindFrame(const std::string& name) const;
  void RemoveViewer(THTMLViewer* viewer);

 private:
  int rememberedWidth_ = -1, rememberedHeight_ = -1;
};

}  // namespace lark
