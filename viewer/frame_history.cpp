#include <algorithm>

#include "platform/core/string_routines.h"
#include "viewer/frame_browser.h"
#include "viewer/frame_set.h"

namespace lark {

std::int64_t& FrameHistorySequence() {
  static std::int64_t next = 10;
  return next;
}

// ---- one frame's history ----------------------------------------------------------

void TbrFrame::RecordInitialFrameHistory(const std::string& url, TViewerPosition pos) {
  historyIndex_ = 0;
  history_.insert(history_.begin(), {url, frameSet_, pos, FrameHistorySequence()++, {}});
  if (history_.size() > static_cast<std::size_t>(kMaxFrameHistory)) history_.pop_back();
  MasterSet->RebuildFrameList();
  MasterSet->Browser->HistoryChanged();
}

void TbrFrame::PushFrameHistory(const std::string& url, TViewerPosition newPos, TViewerPosition oldPos,
                                std::vector<std::vector<std::string>> oldFormData) {
  if (!history_.empty()) {
    TFrameHistoryEntry& current = history_[historyIndex_];
    current.Pos = oldPos;
    if (current.URL != url) current.FormData = std::move(oldFormData);
  }
  MasterSet->DropForwardEntries();
  historyIndex_ = 0;
  history_.insert(history_.begin(), {url, frameSet_, newPos, FrameHistorySequence()++, {}});
  if (history_.size() > static_cast<std::size_t>(kMaxFrameHistory)) history_.pop_back();
  MasterSet->RebuildFrameList();
  MasterSet->Browser->HistoryChanged();
}

void TbrFrame::SetFrameHistoryIndex(int value) {
  if (value == historyIndex_ || value < 0 || value >= static_cast<int>(history_.size())) return;
  TFrameHistoryEntry& leaving = history_[historyIndex_];
  if (viewer_) {
    leaving.Pos = viewer_->GetPosition();
    leaving.FormData = viewer_->GetFormData();
  } else if (frameSet_) {
    // The set lives on as the object of its entries.
    frameSet_->UnloadFiles();
    frameSet_->RemoveFrameNames();
    frameSet_->Detach();
    frameSet_.reset();
  }
  TFrameHistoryEntry& entry = history_[value];
  if (entry.FrameSet) {
    frameSet_ = entry.FrameSet;
    frameSet_->SetParent(this);
    frameSet_->Show();
    frameSet_->ReloadFiles(-1);
    frameSet_->AddFrameNames();
    frameSet_->PlaceChildren();
    DropViewer();
  } else {
    if (!viewer_) CreateFrameViewer();
    const std::string url = entry.URL;
    if (url != Source) LoadFrameURL(url, "", "", "", "", false, true, false);
    // The load may have changed the list; the entry is looked up again.
    TFrameHistoryEntry& again = history_[value];
    viewer_->SetFormData(again.FormData);
    again.FormData.clear();
    viewer_->SetPosition(again.Pos);
  }
  Source = history_[value].URL;
  historyIndex_ = value;
  MasterSet->RebuildFrameList();
  MasterSet->Browser->HistoryChanged();
  MasterSet->Browser->MarkVisitedLinks();
}

void TbrFrame::ClearFrameHistory() {
  history_.clear();
  historyIndex_ = 0;
}

void TbrFrameSet::DropForwardEntries() {
  // The sets the dropped entries held go with their last holder.
  for (TbrFrame* frame : Frames) {
    auto& history = frame->FrameHistory();
    history.erase(history.begin(), history.begin() + frame->FrameHistoryIndex());
  }
  for (TbrFrame* frame : Frames) frame->ResetHistoryIndex();
}

// ---- the browser's page history --------------------------------------------------

void TFrameBrowser::HistoryChanged() {
  if (OnHistoryChange) OnHistoryChange(this);
}

void TFrameBrowser::AddPageEntry() {
  pageHistory_.erase(pageHistory_.begin(), pageHistory_.begin() + historyIndex_);
  historyIndex_ = 0;
  pageHistory_.insert(pageHistory_.begin(), {curFrameSet_->CurrentFile, curFrameSet_->Title, curFrameSet_, 0});
  if (pageHistory_.size() > static_cast<std::size_t>(HistoryMaxCount())) pageHistory_.resize(HistoryMaxCount());
  HistoryChanged();
}

void TFrameBrowser::RecordNewPage(std::shared_ptr<TbrFrameSet> oldSet, const std::string& oldURL,
                                  const std::string& oldTitle, TViewerPosition oldPos) {
  if (HistoryMaxCount() < 1 || curFrameSet_->CurrentFile.empty()) return;
  if (!pageHistory_.empty()) {
    pageHistory_[historyIndex_] = {oldURL, oldTitle, oldSet, oldPos};
    oldSet->DropForwardEntries();
  }
  AddPageEntry();
}

void TFrameBrowser::RecordSamePage(TViewerPosition oldPos) {
  if (HistoryMaxCount() < 1 || curFrameSet_->CurrentFile.empty()) return;
  if (!pageHistory_.empty())
    pageHistory_[historyIndex_] = {curFrameSet_->CurrentFile, curFrameSet_->Title, curFrameSet_, oldPos};
  AddPageEntry();
}

void TFrameBrowser::RecordOneFramePage(const std::string& oldURL, const std::string& oldTitle,
                                       TViewerPosition oldPos) {
  if (HistoryMaxCount() < 1 || oldURL.empty()) return;
  if (!pageHistory_.empty()) pageHistory_[historyIndex_] = {oldURL, oldTitle, curFrameSet_, oldPos};
  AddPageEntry();
}

bool TFrameBrowser::BackButtonEnabled() const {
  if (historyIndex_ + 1 < HistoryCount()) return true;
  return std::ranges::any_of(curFrameSet_->Frames, [](TbrFrame* f) {
    return f->FrameHistoryIndex() + 1 < static_cast<int>(f->FrameHistory().size());
  });
}

bool TFrameBrowser::FwdButtonEnabled() const {
  if (historyIndex_ >= 1) return true;
  return std::ranges::any_of(curFrameSet_->Frames, [](TbrFrame* f) { return f->FrameHistoryIndex() >= 1; });
}

void TFrameBrowser::GoBack() {
  if (Busy()) return;
  // The newest navigation anywhere in the page is undone first.
  TbrFrame* newest = nullptr;
  std::int64_t newestSeq = 0;
  for (TbrFrame* frame : curFrameSet_->Frames) {
    auto& history = frame->FrameHistory();
    const int index = frame->FrameHistoryIndex();
    if (index + 1 >= static_cast<int>(history.size())) continue;
    if (!newest || history[index].Seq > newestSeq) newest = frame, newestSeq = history[index].Seq;
  }
  if (newest)
    newest->SetFrameHistoryIndex(newest->FrameHistoryIndex() + 1);
  else
    SetHistoryIndex(historyIndex_ + 1);
  if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
}

void TFrameBrowser::GoFwd() {
  if (Busy()) return;
  // The oldest undone navigation is redone first.
  TbrFrame* oldest = nullptr;
  std::int64_t oldestSeq = 0;
  for (TbrFrame* frame : curFrameSet_->Frames) {
    const int index = frame->FrameHistoryIndex();
    if (index < 1) continue;
    const std::int64_t seq = frame->FrameHistory()[index - 1].Seq;
    if (!oldest || seq < oldestSeq) oldest = frame, oldestSeq = seq;
  }
  if (oldest)
    oldest->SetFrameHistoryIndex(oldest->FrameHistoryIndex() - 1);
  else
    SetHistoryIndex(historyIndex_ - 1);
  if (OnSoundRequest) OnSoundRequest(this, "", 0, true);
}

void TFrameBrowser::SetHistoryIndex(int value) {
  if (value == historyIndex_ || value < 0 || value >= HistoryCount() || Busy()) return;
  BusyScope busy(*this);
  if (!curFrameSet_->CurrentFile.empty()) {
    TPageEntry& leaving = pageHistory_[historyIndex_];
    leaving.Title = curFrameSet_->Title;
    leaving.Pos = curFrameSet_->Viewers.empty() ? 0 : curFrameSet_->Viewers.front()->GetPosition();
  }
  const TPageEntry& entry = pageHistory_[value];
  if (entry.FrameSet == curFrameSet_) {
    if (!curFrameSet_->Viewers.empty()) curFrameSet_->Viewers.front()->SetPosition(entry.Pos);
  } else {
    std::shared_ptr<TbrFrameSet> oldSet = curFrameSet_;
    curFrameSet_ = entry.FrameSet;
    curFrameSet_->ForgetSize();
    curFrameSet_->Hide();
    curFrameSet_->SetParent(this);
    curFrameSet_->SetAlign(TAlign::alClient);
    curFrameSet_->ReloadFiles(curFrameSet_->Viewers.size() == 1 ? entry.Pos : -1);
    ConnectCurrentPage();
    curFrameSet_->Show();
    curFrameSet_->BringToFront();
    oldSet->UnloadFiles();
    oldSet->Detach();
  }
  historyIndex_ = value;
  HistoryChanged();
  MarkVisitedLinks();
}

void TFrameBrowser::ClearHistory() {
  bool had = !pageHistory_.empty();
  for (TbrFrame* frame : curFrameSet_->Frames) {
    had |= !frame->FrameHistory().empty();
    frame->ClearFrameHistory();
  }
  // Each set goes with the last entry or frame that holds it.
  pageHistory_.clear();
  historyIndex_ = 0;
  if (had) HistoryChanged();
}

}  // namespace lark
