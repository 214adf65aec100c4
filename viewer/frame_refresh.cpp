#include <algorithm>
#include <climits>

#include "html/url_helpers.h"
#include "platform/core/string_routines.h"
#include "platform/windows/timer.h"
#include "viewer/charset_names.h"
#include "viewer/frame_browser.h"
#include "viewer/frame_set.h"

namespace lark {
namespace {

// Milliseconds for a delay in seconds, within what the timer takes.
unsigned RefreshInterval(std::int64_t delaySeconds) {
  return static_cast<unsigned>(std::clamp<std::int64_t>(delaySeconds * 1000, 1, INT_MAX));
}

// A refresh to a program or an archive would download it, not show it.
bool RefreshAllowed(const TFrameBrowser& browser, const std::string& url) {
  if (!(browser.fvOptions() & fvMetaRefresh)) return false;
  const std::string ext = LowerCase(GetURLExtension(url));
  return ext != "exe" && ext != "zip";
}

// Polled while the browser is busy: a refresh never starts a load inside one.
constexpr unsigned kBusyRetryMs = 100;

std::pair<std::string, std::string> SplitAtHash(const std::string& url) {
  const auto hash = url.find('#');
  if (hash == std::string::npos) return {url, {}};
  return {url.substr(0, hash), url.substr(hash)};
}

}  // namespace

// ---- a frame's document ---------------------------------------------------------

void TbrFrame::MetaRefresh(int delay, const std::string& url) {
  if (!RefreshAllowed(*MasterSet->Browser, url)) return;
  refreshURL_ = url.empty() ? Source : IsFullURL(url) ? url : URLBase + url;
  if (!refreshTimer_) {
    refreshTimer_ = std::make_unique<TTimer>(nullptr);
    refreshTimer_->OnTimer = [this](TObject*) { RefreshTimerTimer(); };
  }
  refreshTimer_->SetEnabled(false);
  refreshTimer_->SetInterval(RefreshInterval(delay));
  refreshTimer_->SetEnabled(true);
}

void TbrFrame::StopRefresh() {
  if (refreshTimer_) refreshTimer_->SetEnabled(false);
}

void TbrFrame::RefreshTimerTimer() {
  if (Unloaded) {
    StopRefresh();
    return;
  }
  TFrameBrowser& browser = *MasterSet->Browser;
  if (browser.Busy()) {
    refreshTimer_->SetInterval(kBusyRetryMs);
    return;
  }
  StopRefresh();
  const std::string url = IsFullURL(refreshURL_) ? refreshURL_ : Combine(URLBase, refreshURL_);
  if (MasterSet->Viewers.size() > 1) {
    auto [s, dest] = SplitAtHash(url);
    TFrameBrowser::BusyScope busy(browser);
    LoadFrameURL(s, dest, "", "", "", true, true, true);
  } else {
    browser.LoadURLInternal(url, "", "", "", true, true);
  }
}

// ---- a frameset document ------------------------------------------------------------

void TbrSubFrameSet::FrameSetMeta(TObject* sender, const std::string& httpEq, const std::string& name,
                                  const std::string& content) {
  TFrameBrowser& browser = *MasterSet->Browser;
  if (SameText(httpEq, "content-type"))
    if (auto charSet = FindCharSetName(content)) CharSet = charSet->CharSet;
  if (browser.OnMetaEvent()) browser.OnMetaEvent()(sender, httpEq, name, content);
  if (!(browser.fvOptions() & fvMetaRefresh) || !SameText(httpEq, "refresh")) return;
  const std::size_t semicolon = content.find(';');
  int delay = StrToIntDef(Trim(content.substr(0, semicolon)), -1);
  if (delay < 0) return;
  RefreshDelay = std::max(delay, 1);
  const std::size_t url = LowerCase(content).find("url=");
  RefreshURL = url == std::string::npos ? std::string() : content.substr(url + 4);
}

void TbrSubFrameSet::StartRefresh() {
  if (RefreshDelay < 1 || !RefreshAllowed(*MasterSet->Browser, RefreshURL)) return;
  if (!refreshTimer_) {
    refreshTimer_ = std::make_unique<TTimer>(nullptr);
    refreshTimer_->OnTimer = [this](TObject*) { RefreshTimerTimer(); };
  }
  refreshTimer_->SetEnabled(false);
  refreshTimer_->SetInterval(RefreshInterval(RefreshDelay));
  refreshTimer_->SetEnabled(true);
}

void TbrSubFrameSet::StopRefresh() {
  if (refreshTimer_) refreshTimer_->SetEnabled(false);
}

void TbrSubFrameSet::RefreshTimerTimer() {
  TFrameBrowser& browser = *MasterSet->Browser;
  if (Unloaded) {
    StopRefresh();
    return;
  }
  if (browser.Busy()) {
    refreshTimer_->SetInterval(kBusyRetryMs);
    return;
  }
  StopRefresh();
  const std::string url = RefreshURL.empty() ? MasterSet->CurrentFile : RefreshURL;
  if (auto* frame = dynamic_cast<TbrFrame*>(OwnerFrame)) {
    auto [s, dest] = SplitAtHash(url);
    TFrameBrowser::BusyScope busy(browser);
    frame->LoadFrameURL(s, dest, "", "", "", true, true, true);
  } else if (this == browser.CurFrameSet()) {
    browser.LoadURLInternal(url, "", "", "", true, true);
  }
}

}  // namespace lark
