#include "app/ftp_connection.h"

#include "html/document_utils.h"
#include "html/url_helpers.h"
#include "net/ftp_client.h"
#include "platform/core/exception.h"
#include "platform/core/stream.h"
#include "platform/core/string_routines.h"

namespace lark {
namespace {

// Decodes "%hh" escapes; the leading "/" keeps a name that starts with "%"
// from being taken as not escaped.
std::string Unescape(const std::string& text) {
  std::string s = "/" + text;
  DecodePercent(s);
  return s.substr(1);
}

}  // namespace

TFTPTarget SplitFTPURL(const std::string& URL) {
  static_assert(sizeof kAnonymousFTPPassword - 1 == 16);
  const TURLParts parts = ParseURL(URL);
  TFTPTarget target;
  target.Host = parts.Host;
  if (!parts.Port.empty()) {
    if (!TryStrToInt(parts.Port, target.Port) || target.Port < 1 || target.Port > 65535)
      throw EConvertError("Invalid port \"" + parts.Port + "\"");
  }
  if (!parts.User.empty()) {
    target.User = Unescape(parts.User);
    target.Password = Unescape(parts.Password);
  }
  std::string path = parts.Path.substr(0, parts.Path.find_first_of("?#"));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    target.Folder.assign(1, '/');
    target.FileName = Unescape(path);
  } else {
    target.Folder = Unescape(path.substr(0, slash + 1));
    target.FileName = Unescape(path.substr(slash + 1));
  }
  return target;
}

void TFTPConnection::Get(const std::string& URL) {
  std::unique_ptr<TStream> stream = FetchTarget();
  const TFTPTarget target = SplitFTPURL(URL);
  TNetFTP client;
  client.Host = target.Host;
  client.Port = target.Port;
  client.User = target.User;
  client.Password = target.Password;
  client.OnWorkBegin = [this](TObject*, TWorkMode mode, std::int64_t) {
    if (mode != TWorkMode::wmRead) return;
    bytesReceived_ = 0;
    if (OnBeginWork) OnBeginWork(this);
  };
  client.OnWork = [this](TObject*, TWorkMode mode, std::int64_t count) {
    if (mode != TWorkMode::wmRead) return;
    bytesReceived_ = count;
    if (OnProgress) OnProgress(this);
  };
  client.OnWorkEnd = [this](TObject*, TWorkMode mode) {
    if (mode == TWorkMode::wmRead && OnEndWork) OnEndWork(this);
  };
  struct ClientScope {
    TNetFTP*& slot;
    ~ClientScope() { slot = nullptr; }
  } scope{client_};
  client_ = &client;
  client.Connect();
  client.ChangeDir(target.Folder);
  client.SetRecvBufferSize(8192);
  client.SetTransferType(TNetFTPTransferType::ftBinary);
  ContentLength = client.Size(target.FileName);
  static_cast<TBoundedStream&>(*stream).CheckAnnounced(ContentLength);
  InputStream()->SetSize(0);
  client.Get(target.FileName, *stream);
  InputStream()->SetPosition(0);
  client.Disconnect();
}

void TFTPConnection::Abort() {
  if (client_ != nullptr) client_->Abort();
}

}  // namespace lark
