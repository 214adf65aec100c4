#include "app/url_connection.h"

#include <limits>

#include "app/file_connection.h"
#include "app/ftp_connection.h"
#include "app/http_connection.h"
#include "html/url_helpers.h"
#include "platform/core/stream.h"

namespace lark {

TURLConnection::TURLConnection() = default;
TURLConnection::~TURLConnection() = default;

std::unique_ptr<TURLConnection> TURLConnection::GetConnection(const std::string& URL) {
  const std::string protocol = GetProtocol(URL);
  if (protocol == "http" || protocol == "https") return std::make_unique<THTTPConnection>();
  if (protocol == "file") return std::make_unique<TFileConnection>();
  if (protocol == "ftp") return std::make_unique<TFTPConnection>();
  return nullptr;
}

void TURLConnection::SetInputStream(TStream* stream) {
  ownedStream_.reset();
  inputStream_ = stream;
}

void TURLConnection::EnsureStream() {
  if (inputStream_ != nullptr) return;
  ownedStream_ = std::make_unique<TMemoryStream>();
  inputStream_ = ownedStream_.get();
}

void TURLConnection::GetAsync(const std::string& URL) {
  bool reported = false;
  doneReported_ = &reported;
  bool failed = false;
  try {
    Get(URL);
  } catch (...) {
    failed = true;
  }
  if (reported) return;  // OnDone ran, and may have freed this connection
  doneReported_ = nullptr;
  const int code = GetStatusCode();
  ReportDone(!failed ? 0 : code >= 300 ? code : kFetchFailed);
}

void TURLConnection::ReportDone(int error) {
  if (doneReported_ != nullptr) *doneReported_ = true;
  doneReported_ = nullptr;
  // A copy runs, so that the handler may free this connection (and with it
  // OnDone) while it runs.
  if (const TURLDoneEvent done = OnDone) done(Owner, true, error);
}

std::unique_ptr<TStream> TURLConnection::FetchTarget() {
  EnsureStream();
  const bool inMemory = dynamic_cast<TMemoryStream*>(inputStream_) != nullptr;
  return std::make_unique<TBoundedStream>(*inputStream_,
                                          inMemory ? MemoryLimit : std::numeric_limits<std::int64_t>::max());
}

}  // namespace lark
