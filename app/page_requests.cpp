// The window's answer to every document the frame browser asks for: from
// the disk cache, or fetched through the connection its protocol names, one
// response per pass so that each redirect is tested against the lists and
// each Set-Cookie goes with the host that sent it.
#include "app/page_requests.h"

#include "app/authorization_form.h"
#include "app/cookie_list.h"
#include "app/disk_cache.h"
#include "app/http_connection.h"
#include "app/language.h"
#include "app/main_window.h"
#include "app/scan_result_page.h"
#include "app/status_texts.h"
#include "app/url_connection.h"
#include "controls/navigator_gauge.h"
#include "html/url_helpers.h"
#include "net/anti_freeze.h"
#include "platform/core/file_routines.h"
#include "platform/core/secret_erase.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"
#include "platform/windows/animate.h"
#include "platform/windows/application.h"
#include "platform/windows/combo_box.h"
#include "platform/windows/dialogs.h"
#include "platform/windows/graphic_controls.h"
#include "platform/windows/label.h"
#include "platform/windows/timer.h"
#include "viewer/html_viewer.h"

namespace lark {

void ApplyHeaderLine(TPageRequestState& state, const std::string& line, TCookieList* cookies) {
  const std::string lower = LowerCase(line);
  if (lower.find("www-authenticate") != std::string::npos) {
    const std::size_t realm = lower.find("realm");
    if (realm == std::string::npos) return;
    const std::size_t equals = line.find('=', realm);
    if (equals != std::string::npos) state.AuthRealm = Trim(std::string_view(line).substr(equals + 1));
  } else if (const std::size_t cookie = lower.find("set-cookie:"); cookie != std::string::npos) {
    if (cookies != nullptr) cookies->SetCookie(state.PassURL, line.substr(cookie + 11));
  } else if (lower.find("allow:") != std::string::npos) {
    state.AllowHeader = lower;
  } else if (lower.find("cache-control:") != std::string::npos && lower.find("no-store") != std::string::npos) {
    state.NoStore = true;
  }
}

std::string URLHostAndPort(const std::string& url) {
  const TURLParts parts = ParseURL(url);
  return parts.Port.empty() ? LowerCase(parts.Host) : LowerCase(parts.Host) + ":" + parts.Port;
}

std::string URLOrigin(const std::string& url) { return LowerCase(GetProtocol(url)) + "://" + URLHostAndPort(url); }

std::string RedirectTarget(const std::string& base, const std::string& dest) {
  return dest.find("//") != std::string::npos ? dest : Combine(base, dest);
}

namespace {

std::string Protocol(const std::string& url) { return LowerCase(GetProtocol(url)); }

void Fill(TMemoryStream& stream, std::string_view bytes) {
  stream.Clear();
  stream.WriteString(bytes);
  stream.SetPosition(0);
}

// A failure a page cannot carry itself (a file or FTP error, a refused
// redirect): its text, escaped, since a server wrote part of it.
std::string ErrorPage(const std::string& text) {
  return "<html><head><title>Error</title></head><body><p>" + EscapeHtmlText(text) + "</p></body></html>";
}

// Marks the request the window's running one while it lives, and puts back
// the one it interrupted.
class RunningScope {
 public:
  RunningScope(TPageRequestState*& running, TPageRequestState& state) : running_(running), previous_(running) {
    running_ = &state;
  }
  ~RunningScope() { running_ = previous_; }
  RunningScope(const RunningScope&) = delete;
  RunningScope& operator=(const RunningScope&) = delete;

 private:
  TPageRequestState*& running_;
  TPageRequestState* previous_;
};

// A password lives in the connection only while its request runs.
class CredentialsScope {
 public:
  explicit CredentialsScope(TURLConnection& connection) : connection_(connection) {}
  ~CredentialsScope() {
    OverwriteAndClear(connection_.Password);
    connection_.UserName.clear();
  }
  CredentialsScope(const CredentialsScope&) = delete;
  CredentialsScope& operator=(const CredentialsScope&) = delete;

 private:
  TURLConnection& connection_;
};

}  // namespace

void TfrmMain::ConnectionStatus(TURLConnection& connection) {
  SwitchToPageState();
  lbState->SetCaption(ConnectionStateText(connection.GetState()));
  lbDocument->SetLeft(lbState->Left() + lbState->Width() + 2);
}

void TfrmMain::ConnectionProgress(TURLConnection& connection) {
  lbDocument->SetLeft(lbState->Left() + lbState->Width() + 2);
  SwitchToPageState();
  lbDocument->SetCaption(LoadingText(connection.BytesReceived()));
}

void TfrmMain::SwitchToPageState() {
  if (!imgURL->Visible() || imgHTML->Tag != 0 || imgPicture->Tag != 0) return;
  ShowImageState(false);
  ShowURLState(false);
  ShowHTMLState(true);
}

void TfrmMain::AbortPageRequest() {
  if (RunningRequest != nullptr) RunningRequest->Aborted = true;
  if (Connection) Connection->Abort();
}

void TfrmMain::FrameBrowserGetPostRequestEx(TObject* sender, bool isGet, const std::string& url,
                                            const std::string& query, const std::string& encType,
                                            const std::string& referer, bool reload, std::string& newURL,
                                            ThtmlFileType& docType, TMemoryStream*& stream) {
  // A style sheet's request is the viewer's business: it leaves the address,
  // the base and the idle return alone, and a failure just gives no stream.
  const bool fromViewer = dynamic_cast<THTMLViewer*>(sender) != nullptr;
  // A request started during another one's network wait ends that one; its
  // connection is freed once the outermost wait has returned.
  AbortPageRequest();
  TNetBusyGuard busy;
  TPageRequestState state;
  RunningScope running(RunningRequest, state);
  stream = nullptr;
  const std::string requestURL = Normalize(url);
  const std::string shown = query.empty() ? url : url + "?" + query;
  state.PassURL = requestURL;
  state.Base = GetBase(requestURL);
  if (!fromViewer) {
    timerHome->SetEnabled(false);
    AddressText = url;
    CurrentBase = state.Base;
  }
  // A submission or a search is asked of the server every time.
  const bool cacheable = isGet && query.empty();
  if (reload || ReloadMode) {
    DiskCache->RemoveFromCache(requestURL);
  } else if (cacheable) {
    std::string fileName;
    int cachedType = 0;
    if (DiskCache->FindInCache(requestURL, fileName, cachedType) && FileExists(fileName)) {
      DocStream->LoadFromFile(fileName);
      DocStream->SetPosition(0);
      docType = static_cast<ThtmlFileType>(cachedType);
      stream = DocStream.get();
      if (!fromViewer) cbAddress->SetText(shown);
      return;
    }
  }
  const std::string protocol = Protocol(requestURL);
  if (protocol != "file" && ListsRefuse(requestURL)) {
    if (!fromViewer) AnswerBlockPage(newURL, docType, stream);
    return;
  }
  std::unique_ptr<TURLConnection> connection;
  if (protocol != "https" || SSLAvailable()) connection = TURLConnection::GetConnection(requestURL);
  if (Connection) DeferredRelease(std::move(Connection));
  Connection = std::move(connection);
  TURLConnection* conn = Connection.get();
  DocStream->Clear();
  if (conn == nullptr) {
    if (!fromViewer) stream = DocStream.get();
    return;
  }
  Gauge->SetActive(true);
  Animate->SetActive(true);
  Screen()->SetCursor(crAppStart);
  TMemoryStream body;
  conn->SetInputStream(&body);
  conn->Referer = referer;
  conn->ProxyHost = ProxyHost;
  conn->ProxyPort = std::to_string(ProxyPort);
  conn->OnRedirect = [&state](TObject*, std::string& dest, int&, bool& handled) {
    state.RedirectURL = RedirectTarget(state.Base, dest);
    state.Redirected = true;
    handled = false;
  };
  conn->OnHeader = [this, &state, conn](TObject*) {
    ApplyHeaderLine(state, conn->GetHeader(), CdromMode ? nullptr : CookieList.get());
  };
  if (!fromViewer) {
    conn->OnStatus = [this, conn](TObject*) { ConnectionStatus(*conn); };
    conn->OnProgress = [this, conn](TObject*) { ConnectionProgress(*conn); };
  }
  CredentialsScope credentials(*conn);
  bool failed = false;
  bool blocked = false;
  bool storable = cacheable;
  try {
    blocked = RunPasses(state, *conn, isGet, query, encType, body);
    docType = static_cast<ThtmlFileType>(conn->GetDocType());
  } catch (const ESpecialException&) {
    conn->SetInputStream(nullptr);
    StopBusy();
    throw;
  } catch (const Exception& error) {
    storable = false;
    failed = state.Aborted || fromViewer || !AnswerFailure(*conn, body, error, docType);
  }
  conn->SetInputStream(nullptr);
  StopBusy();
  if (blocked) {
    if (!fromViewer) AnswerBlockPage(newURL, docType, stream);
    return;
  }
  if (failed) return;
  Fill(*DocStream, body.Bytes());
  // What a password opened or the server asked not to keep stays off the
  // disk, where the next user of the machine would find it.
  if (storable && !state.NoStore && !state.UsedPassword) {
    DiskCache->AddToCache(requestURL, static_cast<int>(docType), DocStream->Bytes());
  }
  newURL = state.RedirectURL;
  stream = DocStream.get();
  if (!fromViewer) cbAddress->SetText(shown);
}

// The request loop: one response per pass. Answers true when a redirect
// was refused by the lists.
bool TfrmMain::RunPasses(TPageRequestState& state, TURLConnection& conn, bool isGet, std::string query,
                         const std::string& encType, TMemoryStream& body) {
  for (int pass = 1;; ++pass) {
    if (pass > kMaxRequestPasses) throw Exception("Too many redirects");
    state.Redirected = false;
    state.AuthRealm.clear();
    state.Base = GetBase(state.PassURL);
    // Basic credentials are sent in the clear to whoever gets them.
    if (!state.CredentialOrigin.empty() && URLOrigin(state.PassURL) != state.CredentialOrigin) {
      OverwriteAndClear(conn.Password);
      conn.UserName.clear();
    }
    body.Clear();
    conn.Cookie = CacheOn && !CdromMode ? CookieList->GetCookies(state.PassURL) : "";
    try {
      if (isGet) {
        conn.Get(query.empty() ? state.PassURL : state.PassURL + "?" + query);
      } else {
        TMemoryStream post;
        Fill(post, query);
        conn.PostData = &post;
        conn.PostContentType = encType.empty() ? "application/x-www-form-urlencoded" : encType;
        try {
          conn.Post(state.PassURL);
        } catch (...) {
          conn.PostData = nullptr;
          throw;
        }
        conn.PostData = nullptr;
      }
    } catch (const ESpecialException&) {
      throw;
    } catch (const Exception&) {
      if (state.Aborted) throw;
      if (!state.Redirected) {
        const int status = conn.GetStatusCode();
        if (status == 401 && AskAuthorization(state, conn)) continue;
        if (!isGet && status == 405 && state.AllowHeader.find("get") != std::string::npos) {
          isGet = true;
          continue;
        }
        throw;
      }
    }
    if (state.Aborted) throw Exception("Aborted");
    if (!state.Redirected) return false;
    const std::string target = state.RedirectURL;
    const std::string protocol = Protocol(target);
    if (protocol != "http" && protocol != "https") throw Exception("Redirect refused: " + target);
    if (protocol == "https" && !SSLAvailable()) {
      body.SetPosition(body.Size());
      body.WriteString("<p>Unsupported protocol: https");
      return false;
    }
    if (ListsRefuse(target)) return true;
    // The target names its own query; a 303 asks for it with GET.
    if (isGet || conn.GetStatusCode() == 303) {
      isGet = true;
      query.clear();
    }
    state.PassURL = target;
  }
}

// The password prompt for a 401, naming the host that answered and its
// realm. Answers whether the user gave a name and a password.
bool TfrmMain::AskAuthorization(TPageRequestState& state, TURLConnection& conn) {
  std::unique_ptr<TfrmAuthorization> dialog(NewForm<TfrmAuthorization>(this));
  std::string caption;
  if (Language->GetText("182", caption)) dialog->SetCaption(caption);
  dialog->ApplyLanguage(*Language);
  dialog->Host = URLHostAndPort(state.PassURL);
  const bool useCache = !state.AuthPromptShown && !state.AuthRealm.empty();
  std::string userName;
  std::string password;
  const bool confirmed = dialog->Execute(useCache, state.AuthRealm, password, userName);
  state.AuthPromptShown = true;
  if (confirmed) {
    conn.UserName = userName;
    conn.Password = password;
    state.CredentialOrigin = URLOrigin(state.PassURL);
    state.UsedPassword = true;
  }
  OverwriteAndClear(password);
  return confirmed;
}

// A failed fetch: an HTTP error shows the body the server sent, or
// "error.html", or the "URL not found" box over an empty page; a file or
// FTP error shows its text. Answers false when the request gives no stream.
bool TfrmMain::AnswerFailure(TURLConnection& conn, TMemoryStream& body, const Exception& error,
                             ThtmlFileType& docType) {
  if (dynamic_cast<THTTPConnection*>(&conn) == nullptr) {
    Fill(body, ErrorPage(error.Message));
    docType = ThtmlFileType::ftHTML;
    return true;
  }
  if (body.Size() > 0) {
    docType = static_cast<ThtmlFileType>(conn.GetDocType());
    return true;
  }
  docType = ThtmlFileType::ftHTML;
  const std::string errorPage = Context().ProgramDir + "error.html";
  if (FileExists(errorPage)) {
    body.LoadFromFile(errorPage);
  } else {
    ShowMessage("URL not found");
  }
  return true;
}

void TfrmMain::AnswerBlockPage(std::string& newURL, ThtmlFileType& docType, TMemoryStream*& stream) {
  const std::string blockPage = Context().ProgramDir + "block.html";
  DocStream->Clear();
  if (FileExists(blockPage)) DocStream->LoadFromFile(blockPage);
  DocStream->SetPosition(0);
  docType = ThtmlFileType::ftHTML;
  newURL = "file://" + FileNameToURL(blockPage);
  stream = DocStream.get();
}

}  // namespace lark
