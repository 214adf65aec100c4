#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/url_connection.h"
#include "platform/core/synchronize.h"

namespace lark {

class TNetHTTP;
class THTTPAsync;

// http and https over the network client: synchronous GET and POST on the
// calling thread, and a GET on a worker thread (THTTPAsync) that reports
// through OnDone on the GUI thread.
class THTTPConnection : public TURLConnection {
 public:
  // States of GetState.
  static constexpr int kReady = 0;
  static constexpr int kNotConnected = 1;
  static constexpr int kConnected = 2;
  static constexpr int kLookingUp = 3;

  THTTPConnection() = default;
  // A running asynchronous fetch is told to stop and disconnected; it then
  // ends on its own and reports nothing. Never waits for the network.
  ~THTTPConnection() override;

  void Get(const std::string& URL) override;
  void Post(const std::string& URL) override;
  void GetAsync(const std::string& URL) override;
  [[nodiscard]] std::int64_t BytesReceived() override { return bytesReceived_; }
  [[nodiscard]] std::string GetHeader() override { return header_; }
  [[nodiscard]] int GetStatusCode() override { return responseCode_; }
  [[nodiscard]] int GetState() override { return state_; }
  void Abort() override;
  [[nodiscard]] int GetDocType() override;

  [[nodiscard]] const std::string& ResponseContentType() const { return contentType_; }

 private:
  enum class Method { Get, Post };
  void Request(Method method, const std::string& URL);
  // The request fields both the synchronous and the asynchronous fetch send.
  void SetRequestFields(TNetHTTP& client) const;
  void HookEvents(TNetHTTP& client, TBoundedStream* target);
  void ReportHeaders(TNetHTTP& client);
  void CopyResponse(TNetHTTP& client);
  void ReportHeaderLine(std::string line);
  // Runs on the GUI thread when the worker ends, unless this connection was
  // freed first.
  void AsyncDone(THTTPAsync& fetch);

  std::string contentType_;
  int responseCode_ = 0;
  std::int64_t bytesReceived_ = 0;
  int state_ = kReady;
  bool aborted_ = false;
  std::string header_;
  TNetHTTP* client_ = nullptr;
  THTTPAsync* async_ = nullptr;
  // Expires with this connection: the worker's completion is then dropped.
  SyncTarget life_;
};


}  // namespace lark
