#include "app/image_requests.h"

#include <algorithm>
#include <utility>

#include "app/disk_cache.h"
#include "app/main_window.h"
#include "controls/navigator_gauge.h"
#include "html/image_loader.h"
#include "html/url_helpers.h"
#include "net/anti_freeze.h"
#include "platform/core/file_routines.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"
#include "platform/windows/animate.h"
#include "platform/windows/application.h"
#include "platform/windows/timer.h"
#include "viewer/frame_browser.h"

namespace lark {

TImageHTTP::TImageHTTP(std::unique_ptr<TImageRec> rec) : ImageRec(std::move(rec)), URL(ImageRec->URL) {
  ImageRec->Stream = std::make_unique<TMemoryStream>();
  Connection = TURLConnection::GetConnection(URL);
  Connection->MemoryLimit = kMaxFetchedImageBytes;
  Connection->SetInputStream(ImageRec->Stream.get());
}

// The connection goes first: it still writes into the record's stream.
TImageHTTP::~TImageHTTP() { Connection.reset(); }

void TImageHTTP::Start() { Connection->GetAsync(URL); }

void TfrmMain::ConnectImageRequests() {
  FrameBrowser->SetOnImageRequest(
      [this](TObject* sender, const std::string& src, TMemoryStream*& stream) {
        FrameBrowserImageRequest(sender, src, stream);
      });
  FrameBrowser->OnViewerClear = [this](THTMLViewer* viewer) { FrameBrowserViewerClear(viewer); };
  Timer->OnTimer = [this](TObject* sender) { TimerTimer(sender); };
}

void TfrmMain::FrameBrowserImageRequest(TObject* sender, const std::string& src, TMemoryStream*& stream) {
  Screen()->SetCursor(crDefault);
  stream = nullptr;
  const std::string protocol = LowerCase(GetProtocol(src));
  if (protocol != "file" && ListsRefuse(src)) return;
  std::string fileName;
  int cachedType = 0;
  if (ReloadMode) {
    DiskCache->RemoveFromCache(src);
  } else if (DiskCache->FindInCache(src, fileName, cachedType) && cachedType == 2 && FileExists(fileName)) {
    // A stream of its own: DocStream may be refilled by a page request
    // started while this answer is still read.
    ImageStream->LoadFromFile(fileName);
    ImageStream->SetPosition(0);
    stream = ImageStream.get();
    return;
  }
  if (protocol == "http") {
    auto rec = std::make_unique<TImageRec>();
    rec->Source = src;
    rec->URL = src;
    rec->Viewer = dynamic_cast<THTMLViewer*>(sender);
    PendingImages.push_back(std::move(rec));
    stream = &WaitStream();
    StartNextImageDownload();
    return;
  }
  if (protocol == "https" && !SSLAvailable()) return;
  // Fetched at once, on a connection of its own that outlives the wait.
  TNetBusyGuard busy;
  std::unique_ptr<TURLConnection> connection = TURLConnection::GetConnection(src);
  if (!connection) return;
  connection->MemoryLimit = kMaxFetchedImageBytes;
  connection->ProxyHost = ProxyHost;
  connection->ProxyPort = std::to_string(ProxyPort);
  connection->EnsureStream();
  TURLConnection* const interrupted = std::exchange(DirectImageConnection, connection.get());
  try {
    connection->Get(src);
  } catch (...) {
    DirectImageConnection = interrupted;
    DeferredRelease(std::move(connection));
    throw;
  }
  DirectImageConnection = interrupted;
  auto* fetched = static_cast<TMemoryStream*>(connection->InputStream());
  ImageStream->Clear();
  ImageStream->WriteString(fetched->Bytes());
  ImageStream->SetPosition(0);
  DeferredRelease(std::move(connection));
  stream = ImageStream.get();
}

void TfrmMain::StartNextImageDownload() {
  if (PendingImages.empty() && ActiveDownloads.empty()) {
    StopBusy();
    return;
  }
  // The workers follow redirects themselves; each target is tested against
  // the lists as they are now, copied, since the lists belong to this thread.
  const auto lists = std::make_shared<const std::pair<TURLList, TURLList>>(AllowList, DenyList);
  while (!PendingImages.empty() && static_cast<int>(ActiveDownloads.size()) < kMaxImageDownloads) {
    Gauge->SetActive(true);
    Animate->SetActive(true);
    auto download = std::make_unique<TImageHTTP>(std::move(PendingImages.front()));
    PendingImages.pop_front();
    TImageHTTP* raw = download.get();
    download->Connection->Owner = nullptr;
    download->Connection->ProxyHost = ProxyHost;
    download->Connection->ProxyPort = std::to_string(ProxyPort);
    download->Connection->OnRedirect = [lists](TObject*, std::string& dest, int&, bool& handled) {
      if (!lark::URLAllowed(lists->first, dest) || lark::URLDenied(lists->second, dest)) handled = false;
    };
    download->Connection->OnDone = [this, raw](TObject*, bool finished, int error) {
      ImageDownloadDone(*raw, finished, error);
    };
    ActiveDownloads.push_back(std::move(download));
    raw->Start();
  }
}

void TfrmMain::ImageDownloadDone(TImageHTTP& download, bool finished, int error) {
  if (finished && error == 0) {
    DoneImages.push_back(std::move(download.ImageRec));
    Timer->SetEnabled(true);
  }
  const auto it = std::find_if(ActiveDownloads.begin(), ActiveDownloads.end(),
                               [&download](const auto& active) { return active.get() == &download; });
  // Its connection is still in the call that reports this: freed after it.
  if (it != ActiveDownloads.end()) {
    std::unique_ptr<TImageHTTP> done = std::move(*it);
    ActiveDownloads.erase(it);
    ReleaseWhenIdle([raw = done.release()] { delete raw; });
  }
  StartNextImageDownload();
}

bool TfrmMain::IsLiveViewer(const THTMLViewer* viewer) const {
  for (int i = 0; i < FrameBrowser->ViewerCount(); ++i)
    if (FrameBrowser->Viewers(i) == viewer) return true;
  return false;
}

// The timer keeps its pace while a picture goes in, so that pictures come
// one per 100 ms however long each insertion takes; a tick that comes while
// one is still going in (a message loop inside it) is skipped.
void TfrmMain::TimerTimer(TObject*) {
  if (InsertingImage) return;
  InsertingImage = true;
  struct Inserting {
    bool& flag;
    ~Inserting() { flag = false; }
  } inserting{InsertingImage};
  if (!DoneImages.empty()) {
    TImageRec& rec = *DoneImages.front();
    bool taken = false;
    bool drop = !IsLiveViewer(rec.Viewer);
    if (!drop) {
      try {
        rec.Stream->SetPosition(0);
        taken = FrameBrowser->InsertImage(rec.Viewer, rec.Source, *rec.Stream);
      } catch (const Exception&) {
        drop = ++rec.Refusals >= kMaxImageRefusals;
      }
    }
    if (taken) DiskCache->AddToCache(rec.URL, 2, rec.Stream->Bytes());
    if (taken || drop) DoneImages.pop_front();
  }
  if (DoneImages.empty() && PendingImages.empty() && ActiveDownloads.empty()) Timer->SetEnabled(false);
}

void TfrmMain::FrameBrowserViewerClear(THTMLViewer* viewer) {
  const auto forViewer = [viewer](const std::unique_ptr<TImageRec>& rec) { return rec->Viewer == viewer; };
  std::erase_if(PendingImages, forViewer);
  std::erase_if(DoneImages, forViewer);
  std::erase_if(ActiveDownloads, [&forViewer](const auto& download) { return download->ImageRec && forViewer(download->ImageRec); });
}

void TfrmMain::ClearImageQueues() {
  if (DirectImageConnection != nullptr) DirectImageConnection->Abort();
  PendingImages.clear();
  ActiveDownloads.clear();
  DoneImages.clear();
}

}  // namespace lark
