#include "app/http_connection.h"

#include "app/http_async.h"
#include "net/http_client.h"
#include "net/openssl_intercept.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

int ProxyPortNumber(const std::string& text) { return StrToIntDef(text, 80); }

// Makes the client's intercept while it is in scope; every connection has
// its own, so that a second https fetch started from a message handled
// during a wait never shares TLS state with the first.
class OwnIntercept {
 public:
  explicit OwnIntercept(TNetHTTP& client) : client_(client) {
    tls_.SSLOptions.Method = TNetSSLVersion::sslvSSLv23;
    tls_.SSLOptions.Mode = TNetSSLMode::sslmClient;
    client_.SetIntercept(&tls_);
  }
  ~OwnIntercept() { client_.SetIntercept(nullptr); }
  OwnIntercept(const OwnIntercept&) = delete;
  OwnIntercept& operator=(const OwnIntercept&) = delete;

 private:
  TNetHTTP& client_;
  TNetConnectionInterceptOpenSSL tls_;
};

}  // namespace

THTTPConnection::~THTTPConnection() {
  // The worker stays alive until its completion has run or been dropped, and
  // the completion runs on this (the GUI) thread, so async_ is valid here.
  if (async_ != nullptr) async_->Stop();
}

void THTTPConnection::Get(const std::string& URL) { Request(Method::Get, URL); }
void THTTPConnection::Post(const std::string& URL) { Request(Method::Post, URL); }

void THTTPConnection::SetRequestFields(TNetHTTP& client) const {
  client.Request.ProxyServer = ProxyHost;
  client.Request.ProxyPort = ProxyPortNumber(ProxyPort);
  client.Request.Username = UserName;
  client.Request.Password = Password;
  client.Request.ExtraHeaders.Add("Cookie: " + Cookie);
}

void THTTPConnection::Request(Method method, const std::string& URL) {
  aborted_ = false;
  std::unique_ptr<TStream> target = FetchTarget();
  TNetHTTP client;
  client.HandleRedirects = true;
  client.ProtocolVersion = TNetHTTPProtocolVersion::pv1_1;
  client.OnRedirect = OnRedirect;
  SetRequestFields(client);
  client.Request.Referer = Referer;
  if (method == Method::Post) client.Request.ContentType = PostContentType;
  HookEvents(client, static_cast<TBoundedStream*>(target.get()));
  state_ = kReady;
  OwnIntercept tls(client);
  client_ = &client;
  try {
    if (method == Method::Get) {
      client.Get(URL, target.get());
    } else {
      TMemoryStream empty;
      client.Post(URL, PostData != nullptr ? *PostData : empty, target.get());
    }
  } catch (...) {
    CopyResponse(client);
    throw;
  }
  CopyResponse(client);
  InputStream()->SetPosition(0);
}

void THTTPConnection::HookEvents(TNetHTTP& client, TBoundedStream* target) {
  client.OnStatus = [this](TObject*, TNetStatus status, const std::string&) {
    switch (status) {
      case TNetStatus::hsResolving: state_ = kLookingUp; break;
      case TNetStatus::hsConnecting: state_ = kNotConnected; break;
      case TNetStatus::hsConnected: state_ = kConnected; break;
      case TNetStatus::hsDisconnecting:
      case TNetStatus::hsDisconnected: state_ = kNotConnected; break;
      case TNetStatus::hsText: break;
    }
    if (OnStatus) OnStatus(this);
  };
  client.OnWork = [this](TObject*, TWorkMode mode, std::int64_t count) {
    if (mode != TWorkMode::wmRead) return;
    bytesReceived_ = count;
    if (OnProgress) OnProgress(this);
  };
  client.OnWorkBegin = [this, &client, target](TObject*, TWorkMode mode, std::int64_t countMax) {
    if (mode != TWorkMode::wmRead) return;
    target->CheckAnnounced(countMax);
    if (auto* memory = dynamic_cast<TMemoryStream*>(InputStream())) memory->Reserve(memory->Position() + countMax);
    ReportHeaders(client);
  };
  client.OnWorkEnd = [this](TObject*, TWorkMode mode) {
    if (mode == TWorkMode::wmRead && OnEndWork) OnEndWork(this);
  };
}

void THTTPConnection::ReportHeaders(TNetHTTP& client) {
  bytesReceived_ = 0;
  ContentLength = client.Response.ContentLength;
  if (OnHeader) {
    const TNetHeaderInfo& response = client.Response;
    if (!response.Location.empty()) ReportHeaderLine("Location: " + response.Location);
    if (!response.WWWAuthenticate.empty()) ReportHeaderLine("www-authenticate: " + response.WWWAuthenticate);
    if (!response.ContentType.empty() && response.Location.empty())
      ReportHeaderLine("content-type: " + response.ContentType);
    const TNetHeaderList& raw = client.RawHeaders();
    for (const char* name : {"set-cookie:", "allow:", "cache-control:"}) {
      for (int i = 0; i < raw.Count(); ++i) {
        if (LowerCase(raw.Strings(i)).find(name) != std::string::npos) ReportHeaderLine(raw.Strings(i));
      }
    }
  }
  if (OnBeginWork) OnBeginWork(this);
}

void THTTPConnection::ReportHeaderLine(std::string line) {
  header_ = std::move(line);
  OnHeader(this);
}

void THTTPConnection::CopyResponse(TNetHTTP& client) {
  contentType_ = client.Response.ContentType;
  ContentLength = client.Response.ContentLength;
  StatusText = client.ResponseText();
  responseCode_ = client.ResponseCode();
  client_ = nullptr;
  state_ = kNotConnected;
}

void THTTPConnection::Abort() {
  aborted_ = true;
  if (client_ != nullptr) client_->Disconnect();
  if (async_ != nullptr) async_->Stop();
}

int THTTPConnection::GetDocType() {
  const std::string type = LowerCase(contentType_);
  if (type.find("image/") != std::string::npos) return 2;
  if (type.find("/plain") != std::string::npos) return 1;
  return 0;
}

void THTTPConnection::GetAsync(const std::string& URL) {
  aborted_ = false;
  auto* fetch = new THTTPAsync;  // frees itself when it ends
  fetch->URL = URL;
  // The worker holds the body in memory whatever stream receives it at the end.
  fetch->MemoryLimit = MemoryLimit;
  SetRequestFields(fetch->Client);
  // Called on the worker: the handler must use only what it holds itself.
  fetch->Client.OnRedirect = OnRedirect;
  fetch->Target = life_.Token();
  fetch->OnTerminate = [this](TObject* sender) { AsyncDone(*static_cast<THTTPAsync*>(sender)); };
  async_ = fetch;
  state_ = kReady;
  fetch->Start();
}

void THTTPConnection::AsyncDone(THTTPAsync& fetch) {
  async_ = nullptr;
  TNetHTTP& client = fetch.Client;
  contentType_ = client.Response.ContentType;
  ContentLength = client.Response.ContentLength;
  StatusText = client.ResponseText();
  responseCode_ = client.ResponseCode();
  state_ = kNotConnected;
  int error = 0;
  try {
    EnsureStream();
    InputStream()->SetSize(0);
    InputStream()->WriteBuffer(fetch.Stream.Memory(), fetch.Stream.Size());
    InputStream()->SetPosition(0);
  } catch (const Exception&) {
    error = kFetchFailed;
  }
  if (responseCode_ >= 300) {
    error = responseCode_;
  } else if (aborted_ || fetch.Failed()) {
    error = kFetchFailed;
  }
  ReportDone(error);
}

}  // namespace lark
