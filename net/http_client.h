#pragma once

// The blocking HTTP/1.0 and HTTP/1.1 client: GET, HEAD and POST, directly or
// through a proxy (a CONNECT tunnel for https), redirects, bodies by length,
// chunked or until close, and keep-alive.

#include <cstdint>
#include <functional>
#include <string>

#include "net/header_list.h"
#include "net/internet_date.h"
#include "net/tcp_client.h"

namespace lark {

class TStream;
class TStrings;

enum class TNetHTTPProtocolVersion { pv1_0, pv1_1 };
enum class TNetHTTPMethod { hmHead, hmGet, hmPost };

using TNetHTTPOnRedirectEvent = std::function<void(TObject* Sender, std::string& dest, int& NumRedirect, bool& Handled)>;

// Limits on what a server may send in one response head.
constexpr int kMaxHeaderLines = 1000;
constexpr std::int64_t kMaxHeaderBytes = 256 * 1024;

// The fields of one header block: the request to send, or the response read.
class TNetHeaderInfo {
 public:
  TNetHeaderInfo() { Reset(); }
  TNetHeaderInfo(const TNetHeaderInfo&) = delete;
  TNetHeaderInfo& operator=(const TNetHeaderInfo&) = delete;

  void Assign(const TNetHeaderInfo& source);
  void Reset();
  // The request lines, in a fixed order, without the Host line.
  void SetHeaders(TNetHeaderList& headers) const;
  // Takes the known headers out of the raw response lines into the fields;
  // the rest (Set-Cookie, Transfer-Encoding, ...) goes to ExtraHeaders.
  // Raises ENetHTTPProtocolError for a bad Content-Length or Content-Range.
  void ProcessHeaders(TNetHeaderList& headers);
  [[nodiscard]] bool Chunked() const;

  std::string Accept;
  std::string AcceptCharSet;
  std::string AcceptEncoding;
  std::string AcceptLanguage;
  std::string Connection;
  std::string ContentEncoding;
  std::string ContentLanguage;
  // -1 when unknown; a response's 0 is an empty body.
  std::int64_t ContentLength = -1;
  std::int64_t ContentRangeEnd = 0;
  std::int64_t ContentRangeStart = 0;
  std::string ContentType;
  std::string ContentVersion;
  TDateTime Date = 0;
  TDateTime Expires = 0;
  TNetHeaderList ExtraHeaders;
  std::string From;
  TDateTime LastModified = 0;
  std::string Location;
  std::string Password;
  std::string ProxyAuthenticate;
  std::string ProxyPassword;
  int ProxyPort = 0;
  std::string ProxyServer;
  std::string ProxyUsername;
  std::string Referer;
  std::string Server;
  std::string UserAgent;
  std::string Username;
  std::string WWWAuthenticate;
};

class TNetHTTP : public TNetTCPClient {
 public:
  TNetHTTP();

  void Get(const std::string& url, TStream* responseContent);
  void Head(const std::string& url);
  // POST is sent as HTTP/1.0 on a fresh connection; the protocol version is
  // restored afterwards, also when the request fails.
  void Post(const std::string& url, const TStrings& source, TStream* responseContent);
  void Post(const std::string& url, TStream& source, TStream* responseContent);
  virtual void DoRequest(TNetHTTPMethod method, const std::string& url, const TStrings* sourceLines,
                         TStream* sourceStream, TStream* responseContent);
  virtual bool DoOnRedirect(std::string& dest, int redirectCount);

  bool HandleRedirects = false;
  TNetHTTPProtocolVersion ProtocolVersion = TNetHTTPProtocolVersion::pv1_1;
  // Redirects followed in one request; the next one is not followed.
  int RedirectMaximum = 15;
  TNetHeaderInfo Request;
  TNetHeaderInfo Response;
  TNetHTTPOnRedirectEvent OnRedirect;

  [[nodiscard]] int ResponseCode() const { return responseCode_; }
  [[nodiscard]] const std::string& ResponseText() const { return responseText_; }
  // The raw lines of the last response head.
  [[nodiscard]] const TNetHeaderList& RawHeaders() const { return headerLines_; }

 private:
  struct Target;
  void RunRequest(TNetHTTPMethod method, std::string url, const TStrings* sourceLines, TStream* sourceStream,
                  TStream* responseContent);
  Target PrepareConnection(const std::string& url);
  void SendRequest(TNetHTTPMethod method, const Target& target, const TStrings* sourceLines, TStream* sourceStream);
  void ReadResponseHead(TNetHTTPMethod method, const Target& target, const TStrings* sourceLines,
                        TStream* sourceStream);
  // Whether the live connection can carry the next request.
  [[nodiscard]] bool ConnectionInStep();
  void ReadStatusLine();
  void ReadHeaderBlock(TNetHeaderList& lines);
  void ReadResult(TNetHTTPMethod method, TStream* responseContent);
  void ReadChunked(TStream& stream);
  void OpenTunnel();
  void KeepOrClose();
  [[nodiscard]] std::string ProxyAuthorizationLine() const;

  TNetHeaderList headerLines_;
  int redirectCount_ = 0;
  int responseCode_ = 0;
  std::string responseText_;
  bool serverIsHTTP10_ = false;
  // The CONNECT target of the live connection ("" when not tunnelled).
  std::string tunnelHost_;
  int tunnelPort_ = 0;
  std::string liveTunnel_;
  // Scheme, host and port of the connection's origin, and of the request
  // that started a redirect chain (credentials stay with it).
  std::string liveOrigin_;
  std::string firstOrigin_;
  std::string lastHost_;
  std::string lastProtocol_;
};

// Resolves a Location against the URL it answered: absolute, scheme-relative
// ("//host/..."), absolute-path ("/...") or relative to the request's path.
[[nodiscard]] std::string ResolveLocation(const std::string& base, const std::string& location);

}  // namespace lark
