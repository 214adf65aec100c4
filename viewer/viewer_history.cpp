// The viewer's own history of files and positions, and the visited links.
#include <unordered_set>

#include "html/font_run.h"
#include "html/section_list.h"
#include "platform/core/string_routines.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"

namespace lark {

// ---- history -----------------------------------------------------------------------

void THTMLViewer::RecordHistory(const std::string& oldFile, const std::string& oldTitle, ThtmlFileType oldType,
                                std::vector<std::vector<std::string>> oldFormData, TViewerPosition oldPos) {
  if (historyMaxCount_ < 1 || currentFile_.empty()) return;
  if (oldFile == currentFile_ && oldType == currentFileType_ && oldPos == GetPosition()) return;
  if (historyFiles_.Count() > 0 && !oldFile.empty()) {
    historyFiles_.Put(historyIndex_, oldFile);
    historyTitles_.Put(historyIndex_, oldTitle);
    PositionObj& entry = *historyPositions_[static_cast<std::size_t>(historyIndex_)];
    entry.Pos = oldPos;
    entry.FileType = oldType;
    // Form values come back only when the page left is a different file.
    entry.FormData = oldFile != currentFile_ ? std::move(oldFormData) : std::vector<std::vector<std::string>>();
    for (int i = 0; i < historyIndex_; ++i) {  // the "forward" entries go
      historyFiles_.Delete(0);
      historyTitles_.Delete(0);
      historyPositions_.Delete(0);
    }
  }
  historyIndex_ = 0;
  auto position = std::make_unique<PositionObj>();
  position->Pos = GetPosition();
  position->FileType = currentFileType_;
  historyFiles_.Insert(0, currentFile_);
  historyTitles_.Insert(0, documentTitle_);
  historyPositions_.Insert(0, std::move(position));
  if (historyFiles_.Count() > historyMaxCount_) {
    historyFiles_.Delete(historyMaxCount_);
    historyTitles_.Delete(historyMaxCount_);
    historyPositions_.Delete(static_cast<std::size_t>(historyMaxCount_));
  }
  if (OnHistoryChange) OnHistoryChange(this);
}

void THTMLViewer::ClearHistory() {
  const bool hadEntries = historyFiles_.Count() > 0;
  historyFiles_.Clear();
  historyTitles_.Clear();
  historyPositions_.Clear();
  historyIndex_ = 0;
  if (hadEntries && OnHistoryChange) OnHistoryChange(this);
}

void THTMLViewer::SetHistoryMaxCount(int count) {
  if (count < 0 || count == historyMaxCount_) return;
  if (count < historyMaxCount_) ClearHistory();
  historyMaxCount_ = count;
}

// ---- visited links -------------------------------------------------------------------

std::string THTMLViewer::LinkFullName(const std::string& link) {
  ++linkNameExpansions_;
  return link.starts_with("#") ? currentFile_ + link : ExpandLinkName(link);
}

void THTMLViewer::SetLinksVisited(const std::function<bool(const std::string& fullName, bool now)>& visited) {
  // Each link's name is expanded once per pass, whatever the visited list
  // holds; the runs of one link stand together and share it.
  std::string lastURL, fullName;
  bool first = true;
  for (TObject* object : sectionList_->LinkList) {
    auto* run = dynamic_cast<TFontObj*>(object);
    if (!run || run->UrlTarget().URL.empty()) continue;
    if (first || run->UrlTarget().URL != lastURL) {
      lastURL = run->UrlTarget().URL;
      fullName = UpperCase(LinkFullName(lastURL));
      first = false;
    }
    const bool mark = visited(fullName, run->Visited);
    if (mark != run->Visited) run->SetVisited(mark);
  }
}

void THTMLViewer::AddVisitedLink(const std::string& name) {
  if (InFrame || visitedMaxCount_ <= 0) return;
  const int index = visited_.IndexOf(name);
  if (index == 0) return;
  if (index > 0) {
    visited_.Delete(index);
    visited_.Insert(0, name);
    return;
  }
  const std::string wanted = UpperCase(name);
  bool changed = false;
  SetLinksVisited([&](const std::string& fullName, bool now) {
    if (fullName != wanted) return now;
    changed = true;
    return true;
  });
  visited_.Insert(0, name);
  while (visited_.Count() > visitedMaxCount_) visited_.Delete(visited_.Count() - 1);
  if (changed) paintPanel_->Invalidate();
}

void THTMLViewer::MarkVisitedLinks() {
  if (visitedMaxCount_ == 0 || visited_.Count() == 0) return;
  std::unordered_set<std::string> names;
  names.reserve(static_cast<std::size_t>(visited_.Count()));
  for (int i = 0; i < visited_.Count(); ++i) names.insert(UpperCase(visited_.Strings(i)));
  SetLinksVisited([&names](const std::string& fullName, bool now) { return now || names.contains(fullName); });
}

void THTMLViewer::SetVisitedMaxCount(int count) {
  count = std::max(count, 0);
  if (count == visitedMaxCount_) return;
  visitedMaxCount_ = count;
  if (count == 0) {
    visited_.Clear();
    SetLinksVisited([](const std::string&, bool) { return false; });
    Invalidate();
    return;
  }
  while (visited_.Count() > count) visited_.Delete(visited_.Count() - 1);
}

}  // namespace lark
