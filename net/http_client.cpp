#include "net/http_client.h"

#include <cctype>
#include <chrono>
#include <limits>

#include "net/anti_freeze.h"
#include "net/coders.h"
#include "net/connection_intercept.h"
#include "net/http_parsing.h"
#include "net/net_exception.h"
#include "net/net_messages.h"
#include "net/net_strings.h"
#include "net/openssl_socket.h"
#include "net/uri.h"
#include "platform/core/format.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"

namespace lark {

using namespace net_messages;

namespace {

// Where a body goes that nobody asked for: it must still be read, so that the
// next response on the connection starts where it should.
class TDiscardStream : public TStream {
 public:
  std::int64_t Read(void*, std::int64_t) override { return 0; }
  std::int64_t Write(const void*, std::int64_t count) override {
    position_ += count;
    size_ = std::max(size_, position_);
    return count;
  }
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override {
    position_ = origin == TSeekOrigin::soBeginning ? offset : origin == TSeekOrigin::soCurrent ? position_ + offset
                                                                                               : size_ + offset;
    return position_;
  }
  void SetSize(std::int64_t size) override { size_ = size; }

 private:
  std::int64_t position_ = 0;
  std::int64_t size_ = 0;
};

const char* VersionText(TNetHTTPProtocolVersion version) {
  return version == TNetHTTPProtocolVersion::pv1_0 ? "1.0" : "1.1";
}

int DefaultPort(bool https) { return https ? 443 : 80; }

void RemoveLines(TNetHeaderList& lines, const char* name) {
  for (int i; (i = lines.IndexOfName(name)) >= 0;) lines.Delete(i);
}

// The scheme of an absolute URL, in lower case; "" for a relative reference.
std::string SchemeOf(const std::string& url) {
  size_t colon = url.find(':');
  if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(url[0]))) return {};
  for (size_t i = 1; i < colon; ++i) {
    unsigned char c = static_cast<unsigned char>(url[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return {};
  }
  return LowerCase(url.substr(0, colon));
}

// Only http and https are followed as HTTP; any other scheme (file, ftp,
// javascript, data...) is the application's to decide.
bool IsHTTPURL(const std::string& url) {
  std::string scheme = SchemeOf(url);
  return (scheme == "http" || scheme == "https") && url.compare(scheme.size(), 3, "://") == 0;
}

// A port as written in a URL: absent (the scheme's default), or 1..65535 in
// decimal digits; anything else is an error naming the URL.
int PortOf(const std::string& url, const std::string& port, int defaultPort) {
  if (port.empty()) return defaultPort;
  int value = 0;
  bool digits = port.size() <= 5 && std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!digits || !TryStrToInt(port, value) || value < 1 || value > 65535) {
    throw ENetInvalidPort(Format(RSInvalidPort, url));
  }
  return value;
}

bool IsClosedOrCut(const ENetException& e) {
  return dynamic_cast<const ENetConnClosedGracefully*>(&e) != nullptr ||
         dynamic_cast<const ENetOSSLConnectionCut*>(&e) != nullptr;
}

// Runs a read whose end the framing fixes: a close before it is a cut, whatever
// the transport (a plain close, or TLS without its goodbye).
template <typename Failure, typename Read>
void ReadFramed(const char* cutText, Read read) {
  try {
    read();
  } catch (const ENetException& e) {
    if (IsClosedOrCut(e)) throw Failure(cutText);
    throw;
  }
}

// The response head as a whole, interim heads included, must arrive within
// ReadTimeout of the request, however slowly a server drips it.
class HeadDeadline {
 public:
  explicit HeadDeadline(TNetTCPConnection& connection) : connection_(connection) {}
  ~HeadDeadline() { connection_.ClearReadDeadline(); }
  HeadDeadline(const HeadDeadline&) = delete;
  HeadDeadline& operator=(const HeadDeadline&) = delete;
  void Start() {
    if (connection_.ReadTimeout <= 0) return;
    deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(connection_.ReadTimeout);
    connection_.SetReadDeadline(deadline_);
  }
  // For heads that were already buffered, which no read waits for.
  void Check() const {
    if (std::chrono::steady_clock::now() >= deadline_) throw ENetReadTimeout(RSReadTimeout);
  }

 private:
  TNetTCPConnection& connection_;
  std::chrono::steady_clock::time_point deadline_ = std::chrono::steady_clock::time_point::max();
};

bool IsStaleConnectionError(const ENetException& e) {
  if (dynamic_cast<const ENetConnClosedGracefully*>(&e) != nullptr) return true;
  const auto* socketError = dynamic_cast<const ENetSocketError*>(&e);
  return socketError != nullptr &&
         (socketError->ErrorCode == winsock::WSAECONNRESET || socketError->ErrorCode == winsock::WSAESHUTDOWN ||
          socketError->ErrorCode == winsock::WSAECONNABORTED);
}

// Takes the first line of a name out of the list and answers its value.
bool TakeHeader(TNetHeaderList& lines, const char* name, std::string& value) {
  int index = lines.IndexOfName(name);
  if (index < 0) return false;
  value = lines.GetValueFromLine(index);
  lines.Delete(index);
  while (index < lines.Count() && !lines.At(index).empty() && (lines.At(index)[0] == ' ' || lines.At(index)[0] == '\t')) {
    lines.Delete(index);
  }
  return true;
}

}  // namespace

// ----------------------------------------------------------- TNetHeaderInfo

void TNetHeaderInfo::Assign(const TNetHeaderInfo& source) {
  Accept = source.Accept;
  AcceptCharSet = source.AcceptCharSet;
  AcceptEncoding = source.AcceptEncoding;
  AcceptLanguage = source.AcceptLanguage;
  Connection = source.Connection;
  ContentEncoding = source.ContentEncoding;
  ContentLanguage = source.ContentLanguage;
  ContentLength = source.ContentLength;
  ContentRangeEnd = source.ContentRangeEnd;
  ContentRangeStart = source.ContentRangeStart;
  ContentType = source.ContentType;
  ContentVersion = source.ContentVersion;
  Date = source.Date;
  Expires = source.Expires;
  ExtraHeaders.Assign(source.ExtraHeaders);
  From = source.From;
  LastModified = source.LastModified;
  Location = source.Location;
  Password = source.Password;
  ProxyAuthenticate = source.ProxyAuthenticate;
  ProxyPassword = source.ProxyPassword;
  ProxyPort = source.ProxyPort;
  ProxyServer = source.ProxyServer;
  ProxyUsername = source.ProxyUsername;
  Referer = source.Referer;
  Server = source.Server;
  UserAgent = source.UserAgent;
  Username = source.Username;
  WWWAuthenticate = source.WWWAuthenticate;
}

void TNetHeaderInfo::Reset() {
  Accept = "text/html, */*";
  UserAgent = "Mozilla/3.0 (compatible; Larkspan)";
  for (std::string* field : {&AcceptCharSet, &Location, &Server, &Connection, &ContentVersion, &WWWAuthenticate,
                             &ContentEncoding, &ContentLanguage, &ContentType, &ProxyServer, &ProxyUsername,
                             &ProxyPassword, &ProxyAuthenticate}) {
    field->clear();
  }
  ContentLength = -1;
  ContentRangeStart = 0;
  ContentRangeEnd = 0;
  Date = 0;
  LastModified = 0;
  Expires = 0;
  ProxyPort = 0;
  ExtraHeaders.Clear();
}

void TNetHeaderInfo::SetHeaders(TNetHeaderList& headers) const {
  headers.Clear();
  const std::pair<const char*, const std::string*> fields[] = {
      {"Accept: ", &Accept},
      {"Accept-Charset: ", &AcceptCharSet},
      {"Accept-Encoding: ", &AcceptEncoding},
      {"Accept-Language: ", &AcceptLanguage},
      {"From: ", &From},
      {"Referer: ", &Referer},
      {"User-Agent: ", &UserAgent},
      {"Connection: ", &Connection},
      {"Content-Version: ", &ContentVersion},
      {"Content-Encoding: ", &ContentEncoding},
      {"Content-Language: ", &ContentLanguage},
      {"Content-Type: ", &ContentType},
  };
  for (const auto& [name, value] : fields) {
    if (!value->empty()) headers.Add(name + *value);
  }
  if (ContentLength >= 0) headers.Add("Content-Length: " + std::to_string(ContentLength));
  if (ContentRangeStart != 0 || ContentRangeEnd != 0) {
    headers.Add("Range: bytes=" + std::to_string(ContentRangeStart) + "-" +
                (ContentRangeEnd != 0 ? std::to_string(ContentRangeEnd) : std::string()));
  }
  if (!Username.empty()) headers.Add("Authorization: Basic " + Base64Encode(Username + ":" + Password));
  if (!ProxyServer.empty() && !ProxyUsername.empty()) {
    headers.Add("Proxy-Authorization: Basic " + Base64Encode(ProxyUsername + ":" + ProxyPassword));
  }
  headers.AddStrings(ExtraHeaders);
}

void TNetHeaderInfo::ProcessHeaders(TNetHeaderList& headers) {
  ExtraHeaders.Clear();
  const std::pair<const char*, std::string*> fields[] = {
      {"Location", &Location},
      {"Server", &Server},
      {"Connection", &Connection},
      {"Content-Version", &ContentVersion},
      {"WWW-Authenticate", &WWWAuthenticate},
      {"WWWAuthenticate", &WWWAuthenticate},
      {"Content-Encoding", &ContentEncoding},
      {"Content-Language", &ContentLanguage},
      {"Content-Type", &ContentType},
      {"Proxy-Authenticate", &ProxyAuthenticate},
  };
  for (const auto& [name, field] : fields) {
    field->clear();
  }
  for (const auto& [name, field] : fields) {
    std::string value;
    if (TakeHeader(headers, name, value) && field->empty()) *field = value;
  }

  std::string length;
  ContentLength = -1;
  bool chunked = PosText("chunked", headers.Values("Transfer-Encoding")) != std::string::npos;
  while (TakeHeader(headers, "Content-Length", length)) {
    // Chunked framing wins over any length; differing lengths are refused.
    std::int64_t value = 0;
    if (!chunked && (!ParseContentLength(length, value) || (ContentLength >= 0 && value != ContentLength))) {
      throw ENetHTTPProtocolError(RSBadContentLength);
    }
    if (!chunked) ContentLength = value;
  }

  std::string range;
  ContentRangeStart = 0;
  ContentRangeEnd = 0;
  if (TakeHeader(headers, "Content-Range", range) && !range.empty() &&
      !ParseContentRange(range, ContentRangeStart, ContentRangeEnd)) {
    throw ENetHTTPProtocolError(RSBadContentRange);
  }

  std::string date;
  Date = TakeHeader(headers, "Date", date) ? GMTToLocalDateTime(date) : 0;
  LastModified = TakeHeader(headers, "Last-Modified", date) ? GMTToLocalDateTime(date) : 0;
  Expires = TakeHeader(headers, "Expires", date) ? GMTToLocalDateTime(date) : 0;
  ExtraHeaders.AddStrings(headers);
}

bool TNetHeaderInfo::Chunked() const {
  return PosText("chunked", ExtraHeaders.Values("Transfer-Encoding")) != std::string::npos;
}

// ------------------------------------------------------------------ TNetHTTP

struct TNetHTTP::Target {
  std::string protocol;
  std::string host;
  int port = 80;
  std::string uri;
  std::string hostLine;
  std::string origin;
  std::string tunnel;  // "host:port" of a CONNECT tunnel, "" for none
};

TNetHTTP::TNetHTTP() {
  Port = 80;
  // A request body written after its head must not wait for the head's
  // acknowledgement.
  UseNagle = false;
}

void TNetHTTP::Get(const std::string& url, TStream* responseContent) {
  TNetBusyGuard busy;
  DoRequest(TNetHTTPMethod::hmGet, url, nullptr, nullptr, responseContent);
}

void TNetHTTP::Head(const std::string& url) {
  TNetBusyGuard busy;
  DoRequest(TNetHTTPMethod::hmHead, url, nullptr, nullptr, nullptr);
}

namespace {

// POST runs as HTTP/1.0 on a fresh connection; the version comes back however
// the request ends.
class VersionForPost {
 public:
  explicit VersionForPost(TNetHTTP& http) : http_(http), saved_(http.ProtocolVersion) {
    if (http_.Connected()) http_.DisconnectSocket();
    http_.ProtocolVersion = TNetHTTPProtocolVersion::pv1_0;
  }
  ~VersionForPost() { http_.ProtocolVersion = saved_; }
  VersionForPost(const VersionForPost&) = delete;
  VersionForPost& operator=(const VersionForPost&) = delete;

 private:
  TNetHTTP& http_;
  TNetHTTPProtocolVersion saved_;
};

}  // namespace

void TNetHTTP::Post(const std::string& url, const TStrings& source, TStream* responseContent) {
  TNetBusyGuard busy;  // first in, last out: the version is restored before a release
  VersionForPost version(*this);
  DoRequest(TNetHTTPMethod::hmPost, url, &source, nullptr, responseContent);
}

void TNetHTTP::Post(const std::string& url, TStream& source, TStream* responseContent) {
  TNetBusyGuard busy;  // first in, last out: the version is restored before a release
  VersionForPost version(*this);
  DoRequest(TNetHTTPMethod::hmPost, url, nullptr, &source, responseContent);
}

bool TNetHTTP::DoOnRedirect(std::string& dest, int redirectCount) {
  bool handled = HandleRedirects;
  if (OnRedirect) OnRedirect(this, dest, redirectCount, handled);
  return handled;
}

void TNetHTTP::DoRequest(TNetHTTPMethod method, const std::string& url, const TStrings* sourceLines,
                         TStream* sourceStream, TStream* responseContent) {
  firstOrigin_.clear();
  redirectCount_ = 0;
  CallScope call(*this);
  try {
    RunRequest(method, url, sourceLines, sourceStream, responseContent);
  } catch (const ENetProtocolReplyError&) {
    // The whole answer was read: the connection is still in step.
    redirectCount_ = 0;
    throw;
  } catch (...) {
    // A failure part-way through an answer leaves unread bytes behind.
    redirectCount_ = 0;
    const bool aborted = DisconnectRequested();
    DisconnectSocket();
    // Whatever the caller's Disconnect broke (a wait, a read, a handshake),
    // it is the caller's abort, not the server's failure.
    if (aborted) throw ENetTransferAborted(RSTransferAborted);
    throw;
  }
  redirectCount_ = 0;
}

void TNetHTTP::RunRequest(TNetHTTPMethod method, std::string current, const TStrings* sourceLines,
                          TStream* sourceStream, TStream* responseContent) {
  for (;;) {
    ++redirectCount_;
    Target target = PrepareConnection(current);
    if (firstOrigin_.empty()) firstOrigin_ = target.origin;
    ReadResponseHead(method, target, sourceLines, sourceStream);
    const int code = responseCode_;
    bool redirect = (code / 100 == 3 && code != 304) || !Response.Location.empty();
    ReadResult(method, responseContent);
    if (!redirect) {
      if (code / 100 != 2) {
        if (InterceptEnabled()) {
          DisconnectSocket();
        } else {
          KeepOrClose();
        }
        throw ENetProtocolReplyError(code, responseText_);
      }
      break;
    }
    std::string dest = ResolveLocation(current, Response.Location);
    if (!HandleRedirects || redirectCount_ > RedirectMaximum || !IsHTTPURL(dest)) {
      // Not followed: only a handler that takes it over avoids the error.
      bool handled = false;
      int count = redirectCount_;
      if (OnRedirect) OnRedirect(this, dest, count, handled);
      KeepOrClose();
      if (!handled) throw ENetProtocolReplyError(code, responseText_);
      Response.Location = dest;
      break;
    }
    if (responseContent != nullptr) {
      responseContent->SetPosition(0);
      responseContent->SetSize(0);
    }
    if (!DoOnRedirect(dest, redirectCount_)) break;
    if (!IsHTTPURL(dest)) {
      // A handler's new destination that HTTP cannot follow goes back to the caller.
      KeepOrClose();
      Response.Location = dest;
      break;
    }
    KeepOrClose();
    // A 303, and a 301 or 302 answering a POST, is fetched with GET.
    if (code == 303 || (method == TNetHTTPMethod::hmPost && (code == 301 || code == 302))) {
      method = TNetHTTPMethod::hmGet;
      sourceLines = nullptr;
      sourceStream = nullptr;
    }
    current = dest;
  }
  KeepOrClose();
}

TNetHTTP::Target TNetHTTP::PrepareConnection(const std::string& url) {
  if (HasLineBreak(url)) throw ENetLineBreakInHeader(RSLineBreakInHeader);
  TNetURI parts(url);
  Target t;
  t.protocol = LowerCase(parts.Protocol.empty() ? (lastProtocol_.empty() ? "http" : lastProtocol_) : parts.Protocol);
  t.host = parts.Host.empty() ? (lastHost_.empty() ? Host : lastHost_) : parts.Host;
  const bool https = t.protocol == "https";
  t.port = PortOf(url, parts.Port, DefaultPort(https));
  t.hostLine = t.port == DefaultPort(https) ? t.host : t.host + ":" + std::to_string(t.port);
  t.origin = t.protocol + "://" + LowerCase(t.host) + ":" + std::to_string(t.port);
  t.uri = parts.Path + parts.Document;

  auto* tls = dynamic_cast<TNetSSLConnectionIntercept*>(Intercept());
  if (https && tls == nullptr) throw ENetInterceptPropInvalid(RSInterceptPropInvalid);
  const bool viaProxy = !Request.ProxyServer.empty();
  if (viaProxy && https) t.tunnel = t.host + ":" + std::to_string(t.port);
  if (viaProxy && !https) t.uri = t.protocol + "://" + t.hostLine + t.uri;

  // A connection is reused only for the same origin, or the same proxy and
  // tunnel target.
  const std::string peer = viaProxy ? Request.ProxyServer + ":" + std::to_string(Request.ProxyPort) : t.origin;
  if (Connected() && (liveOrigin_ != peer || liveTunnel_ != t.tunnel)) DisconnectSocket();
  Host = viaProxy ? Request.ProxyServer : t.host;
  Port = viaProxy ? Request.ProxyPort : t.port;
  liveOrigin_ = peer;
  liveTunnel_ = t.tunnel;
  tunnelHost_ = t.host;
  tunnelPort_ = t.port;
  if (tls != nullptr) {
    tls->HostName = t.host;
    if (https && viaProxy) {
      tls->OnConnect = [this](TObject*) { OpenTunnel(); };
    } else {
      tls->OnConnect = nullptr;
    }
    SetInterceptEnabled(https);
  }
  lastHost_ = t.host;
  lastProtocol_ = t.protocol;
  return t;
}

std::string TNetHTTP::ProxyAuthorizationLine() const {
  if (Request.ProxyUsername.empty()) return {};
  return "Proxy-Authorization: Basic " + Base64Encode(Request.ProxyUsername + ":" + Request.ProxyPassword) + "\r\n";
}

void TNetHTTP::OpenTunnel() {
  // The CONNECT exchange is plain text to the proxy, before any TLS byte.
  SetInterceptEnabled(false);
  HeadDeadline deadline(*this);
  const std::string target = tunnelHost_ + ":" + std::to_string(tunnelPort_);
  Write("CONNECT " + target + " HTTP/" + VersionText(ProtocolVersion) + "\r\nHost: " + target + "\r\n" +
        ProxyAuthorizationLine() + "\r\n");
  deadline.Start();
  ReadStatusLine();
  TNetHeaderList lines;
  ReadHeaderBlock(lines);
  if (responseCode_ / 100 != 2) throw ENetProtocolReplyError(responseCode_, responseText_);
  SetInterceptEnabled(true);
}

void TNetHTTP::SendRequest(TNetHTTPMethod method, const Target& target, const TStrings* sourceLines,
                           TStream* sourceStream) {
  headerLines_.Clear();
  if (method == TNetHTTPMethod::hmPost) {
    Request.ContentLength = sourceLines != nullptr ? static_cast<std::int64_t>(sourceLines->Text().size())
                            : sourceStream != nullptr ? sourceStream->Size()
                                                      : 0;
  } else {
    Request.ContentLength = -1;
  }
  Request.SetHeaders(headerLines_);
  // Credentials stay with the origin the request was made to.
  if (target.origin != firstOrigin_) {
    RemoveLines(headerLines_, "Authorization");
    RemoveLines(headerLines_, "Cookie");
  }
  // Inside a tunnel the proxy's credentials went with the CONNECT only.
  if (!target.tunnel.empty()) RemoveLines(headerLines_, "Proxy-Authorization");

  static const char* const methods[] = {"HEAD ", "GET ", "POST "};
  std::string head = methods[static_cast<int>(method)] + target.uri + " HTTP/" + VersionText(ProtocolVersion) +
                     "\r\nHost: " + target.hostLine + "\r\n";
  for (int i = 0; i < headerLines_.Count(); ++i) head += headerLines_.At(i) + "\r\n";
  // Nothing goes out when a line break would let a value end its line.
  bool injected = HasLineBreak(target.uri) || HasLineBreak(target.hostLine);
  for (const std::string* credential : {&Request.Username, &Request.Password, &Request.ProxyUsername,
                                        &Request.ProxyPassword}) {
    injected = injected || HasLineBreak(*credential);
  }
  for (int i = 0; i < headerLines_.Count(); ++i) injected = injected || HasLineBreak(headerLines_.At(i));
  if (injected) throw ENetLineBreakInHeader(RSLineBreakInHeader);
  head += "\r\n";
  // The head goes out in one write, so that Nagle's algorithm never holds
  // back its tail.
  Write(head);
  if (sourceLines != nullptr) {
    Write(sourceLines->Text());
  } else if (sourceStream != nullptr) {
    WriteStream(*sourceStream);
  }
}

void TNetHTTP::ReadResponseHead(TNetHTTPMethod method, const Target& target, const TStrings* sourceLines,
                                TStream* sourceStream) {
  HeadDeadline deadline(*this);
  for (int attempt = 0;; ++attempt) {
    const bool reused = ConnectionInStep();
    if (!reused) Connect();
    try {
      SendRequest(method, target, sourceLines, sourceStream);
      deadline.Start();
      ReadStatusLine();
      // An idle kept connection the server timed out (its unsolicited 408
      // crossed our request) is stale, like one it closed.
      const bool staleAnswer = responseCode_ == 408;
      if (!staleAnswer || !reused || attempt > 0 || method == TNetHTTPMethod::hmPost) break;
      DisconnectSocket();
    } catch (const ENetException& e) {
      // A kept-alive connection the server closed meanwhile: try once more
      // on a fresh one, unless the request had a body.
      if (!reused || attempt > 0 || method == TNetHTTPMethod::hmPost || !IsStaleConnectionError(e)) {
        if (IsClosedOrCut(e)) throw ENetHTTPProtocolError(RSClosedInHeader);
        throw;
      }
      DisconnectSocket();
    }
  }
  for (;;) {
    ReadFramed<ENetHTTPProtocolError>(RSClosedInHeader, [&] { ReadHeaderBlock(headerLines_); });
    TNetHeaderList lines;
    lines.Assign(headerLines_);
    Response.ProcessHeaders(lines);
    // Interim answers (100 Continue, 102, 103) are followed by the real one.
    if (responseCode_ < 100 || responseCode_ >= 200 || responseCode_ == 101) return;
    deadline.Check();
    ReadFramed<ENetHTTPProtocolError>(RSClosedInHeader, [&] { ReadStatusLine(); });
  }
}

bool TNetHTTP::ConnectionInStep() {
  if (!Connected()) return false;
  // Bytes waiting before we asked (a late leftover, an unsolicited 408)
  // would be read as the answer: start afresh instead.
  PollForPeerClose(false);
  if (!InputBuffer().Empty()) DisconnectSocket();
  return Connected();
}

void TNetHTTP::ReadStatusLine() {
  std::string line = ReadLn();
  // Stray empty lines before a status line are skipped, as browsers do.
  for (int i = 0; line.empty() && i < 4; ++i) line = ReadLn();
  std::string version;
  if (!ParseStatusLine(line, version, responseCode_, responseText_)) throw ENetHTTPProtocolError(RSBadStatusLine);
  serverIsHTTP10_ = version == "1.0" || version == "0.9";
}

void TNetHTTP::ReadHeaderBlock(TNetHeaderList& lines) {
  lines.Clear();
  std::int64_t total = 0;
  for (std::string line; !(line = ReadLn()).empty();) {
    total += static_cast<std::int64_t>(line.size());
    if (lines.Count() >= kMaxHeaderLines || total > kMaxHeaderBytes) throw ENetHeaderTooLarge(RSHeaderTooLarge);
    lines.Add(line);
  }
}

void TNetHTTP::ReadResult(TNetHTTPMethod method, TStream* responseContent) {
  TDiscardStream discard;
  TStream& stream = responseContent != nullptr ? *responseContent : discard;
  const int code = responseCode_;
  // Answers to HEAD, 1xx, 204 and 304 have no body; the work events still
  // fire, since the application reads the headers at their start.
  if (method == TNetHTTPMethod::hmHead || code / 100 == 1 || code == 204 || code == 304) {
    TWorkScope work(*this, TWorkMode::wmRead, 0);
    return;
  }
  // The bytes that did arrive stay in the stream when the body is cut.
  if (Response.Chunked()) {
    ReadFramed<ENetHTTPBodyCut>(RSBodyCut, [&] { ReadChunked(stream); });
    return;
  }
  if (Response.ContentLength >= 0) {
    TWorkScope work(*this, TWorkMode::wmRead, Response.ContentLength);
    if (Response.ContentLength > 0) {
      ReadFramed<ENetHTTPBodyCut>(RSBodyCut, [&] { ReadStream(stream, Response.ContentLength); });
    }
    return;
  }
  // Framed by the close itself: a plain close is its end, but a TLS close
  // without the goodbye may hide a cut.
  TWorkScope work(*this, TWorkMode::wmRead, 0);
  ReadFramed<ENetHTTPBodyCut>(RSBodyCut, [&] { ReadStream(stream, -1, true); });
}

void TNetHTTP::ReadChunked(TStream& stream) {
  DoStatus(TNetStatus::hsText, RSChunkStarted);
  TWorkScope work(*this, TWorkMode::wmRead, 0);
  for (;;) {
    std::int64_t size = 0;
    if (!ParseChunkSize(ReadLn(), size)) throw ENetHTTPProtocolError(RSBadChunkSize);
    if (size == 0) break;
    ReadStream(stream, size);
    if (!ReadLn().empty()) throw ENetHTTPProtocolError(RSBadChunkSize);
  }
  // Trailer lines, up to the empty line, are read and dropped.
  TNetHeaderList trailer;
  ReadHeaderBlock(trailer);
}

void TNetHTTP::KeepOrClose() {
  if (!Connected()) return;
  if (ProtocolVersion == TNetHTTPProtocolVersion::pv1_0 || serverIsHTTP10_ || SameText(Trim(Response.Connection), "CLOSE")) {
    DisconnectSocket();
    return;
  }
  PollForPeerClose(false);
  // Bytes after a complete answer (a body where none may be, or more than
  // was announced) would be read as the next status line: the connection
  // cannot be trusted.
  if (!InputBuffer().Empty()) DisconnectSocket();
}

std::string ResolveLocation(const std::string& base, const std::string& location) {
  if (location.empty() || !SchemeOf(location).empty()) return location;
  TNetURI parts(base);
  std::string scheme = parts.Protocol.empty() ? "http" : parts.Protocol;
  if (location.compare(0, 2, "//") == 0) return scheme + ":" + location;
  std::string authority = scheme + "://" + parts.Host + (parts.Port.empty() ? "" : ":" + parts.Port);
  if (location[0] == '/') return authority + location;
  if (location[0] == '?') {
    std::string document = parts.Document.substr(0, parts.Document.find('?'));
    return authority + parts.Path + document + location;
  }
  // Relative to the request's directory, with "." and ".." segments resolved.
  std::string path = parts.Path + location;
  std::string query;
  size_t q = path.find_first_of("?#");
  if (q != std::string::npos) {
    query = path.substr(q);
    path.erase(q);
  }
  std::vector<std::string> segments;
  size_t start = 1;
  for (;;) {
    size_t slash = path.find('/', start);
    std::string segment = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    bool last = slash == std::string::npos;
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
      if (last) segments.emplace_back();
    } else if (segment == ".") {
      if (last) segments.emplace_back();
    } else {
      segments.push_back(segment);
    }
    if (last) break;
    start = slash + 1;
  }
  std::string resolved;
  for (const std::string& s : segments) resolved += "/" + s;
  return authority + (resolved.empty() ? "/" : resolved) + query;
}

}  // namespace lark
