#pragma once

// One URL fetched into a stream, whatever its protocol: the operations,
// status code, document type and events the page and image requests and the
// download dialogs use, and the choice of class by protocol.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/bounded_stream.h"
#include "net/http_client.h"
#include "net/net_component.h"
#include "platform/core/object.h"

namespace lark {

class TMemoryStream;
class TStream;

using TURLDoneEvent = std::function<void(TObject* Sender, bool Finished, int Error)>;

// The error OnDone reports for a fetch that failed without an HTTP status of
// 300 or more (refused, reset, cut short, aborted, too large, no such file).
constexpr int kFetchFailed = 1;

class TURLConnection : public TObject {
 public:
  TURLConnection();
  ~TURLConnection() override;
  TURLConnection(const TURLConnection&) = delete;
  TURLConnection& operator=(const TURLConnection&) = delete;

  // The class for the URL's protocol: http and https, file, ftp; none for
  // any other.
  [[nodiscard]] static std::unique_ptr<TURLConnection> GetConnection(const std::string& URL);

  // Frees an owned stream first; the caller's stream is not owned.
  void SetInputStream(TStream* stream);
  [[nodiscard]] TStream* InputStream() const { return inputStream_; }
  [[nodiscard]] bool OwnsStream() const { return ownedStream_ != nullptr; }

  virtual void Get(const std::string& URL) = 0;
  virtual void Post(const std::string& URL) { Get(URL); }
  // Never raises: the end of the fetch, failed or not, is reported through
  // OnDone exactly once. OnDone may free the connection.
  virtual void GetAsync(const std::string& URL);
  virtual void PostAsync(const std::string& URL) { Post(URL); }
  // Makes an owned memory stream when there is no stream.
  virtual void EnsureStream();
  [[nodiscard]] virtual std::int64_t BytesReceived() { return 0; }
  [[nodiscard]] virtual std::string GetStatusText() { return StatusText; }
  [[nodiscard]] virtual std::string GetHeader() { return {}; }
  [[nodiscard]] virtual int GetStatusCode() { return StatusCode; }
  [[nodiscard]] virtual int GetState() { return 0; }
  virtual void Abort() {}
  [[nodiscard]] virtual int GetDocType() { return DocType; }
  [[nodiscard]] virtual std::int64_t GetContentLength() { return ContentLength; }

  TNotifyEvent OnHeader;
  TNotifyEvent OnBeginWork;
  TNotifyEvent OnEndWork;
  TNotifyEvent OnProgress;
  TURLDoneEvent OnDone;
  // 0 HTML, 1 text, 2 image.
  int DocType = 0;
  std::int64_t ContentLength = 0;
  TNotifyEvent OnStatus;
  std::string ProxyHost;
  std::string ProxyPort;
  std::string UserName;
  std::string Password;
  std::string Cookie;
  std::string PostContentType;
  TStream* PostData = nullptr;
  TObject* Owner = nullptr;
  std::string StatusText = "Can't get file";
  int StatusCode = 404;
  TNetHTTPOnRedirectEvent OnRedirect;
  std::string Referer;
  // Most bytes a fetch into the connection's own memory stream may bring;
  // image requests lower it to kMaxFetchedImageBytes.
  std::int64_t MemoryLimit = kMaxFetchedDocumentBytes;

 protected:
  // Raises OnDone; after it the connection may be gone.
  void ReportDone(int error);
  // Where a fetch writes: the stream itself, or, when the connection owns
  // it, the stream bounded by MemoryLimit.
  [[nodiscard]] std::unique_ptr<TStream> FetchTarget();

 private:
  TStream* inputStream_ = nullptr;
  std::unique_ptr<TMemoryStream> ownedStream_;
  // Set while GetAsync runs, so that it knows whether Get reported already.
  bool* doneReported_ = nullptr;
};

}  // namespace lark
