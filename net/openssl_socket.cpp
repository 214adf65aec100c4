#include "net/openssl_socket.h"

#include <algorithm>
#include <chrono>

#include "net/net_messages.h"
#include "net/openssl_binding.h"
#include "net/openssl_context.h"
#include "net/openssl_messages.h"
#include "net/openssl_x509.h"
#include "net/socket_stack.h"
#include "platform/core/format.h"

namespace lark {

using namespace net_messages;
using openssl::Api;

namespace {

// The ex-data slot of an SSL object that holds its TNetSSLSocket (OpenSSL's
// "app data").
constexpr int kAppDataSlot = 0;
// Bytes moved between socket and OpenSSL at a time: a few full records.
constexpr int kChunk = 64 * 1024;

TNetSSLSocket* SocketOf(const SSL* ssl) {
  return static_cast<TNetSSLSocket*>(Api().SSL_get_ex_data(ssl, kAppDataSlot));
}

int VerifyCallback(int preverifyOk, X509_STORE_CTX* store) {
  const auto& api = Api();
  auto* ssl = static_cast<SSL*>(api.X509_STORE_CTX_get_ex_data(store, api.SSL_get_ex_data_X509_STORE_CTX_idx()));
  TNetSSLSocket* socket = ssl != nullptr ? SocketOf(ssl) : nullptr;
  if (socket == nullptr) return 0;
  TNetX509 certificate(api.X509_STORE_CTX_get_current_cert(store), api.X509_STORE_CTX_get_error_depth(store),
                       api.X509_STORE_CTX_get_error(store));
  bool accepted = false;
  try {
    accepted = socket->Owner().DoVerifyPeer(certificate, preverifyOk == 1);
  } catch (...) {
    // An exception must not unwind through OpenSSL: a failing handler rejects.
  }
  // A handler that refuses a certificate OpenSSL accepted gets a reason of its own.
  if (!accepted && preverifyOk == 1) api.X509_STORE_CTX_set_error(store, X509_V_ERR_APPLICATION_VERIFICATION);
  return accepted ? 1 : 0;
}

void InfoCallback(const SSL* ssl, int /*where*/, int /*ret*/) {
  TNetSSLSocket* socket = SocketOf(ssl);
  if (socket == nullptr) return;
  try {
    socket->Owner().DoStatusInfo(Format(RSOSSLStatusString, Api().SSL_state_string_long(ssl)));
  } catch (...) {
    // Status reports are informative; a failing handler does not end the connection.
  }
}

bool IsIPAddress(const std::string& host) { return TNetStack::IsDottedAddress(host); }

}  // namespace

TNetSSLSocket::TNetSSLSocket(TNetSSLSocketOwner& owner, const TNetSSLContext& context, TNetSocketHandle& socket)
    : owner_(owner), socket_(socket) {
  const auto& api = Api();
  ssl_ = api.SSL_new(context.Handle());
  if (ssl_ == nullptr) throw ENetOSSLCreatingContextError(RSOSSLCreatingContextError);
  input_ = api.BIO_new(api.BIO_s_mem());
  output_ = api.BIO_new(api.BIO_s_mem());
  if (input_ == nullptr || output_ == nullptr) {
    if (input_ != nullptr) api.BIO_free(input_);
    if (output_ != nullptr) api.BIO_free(output_);
    api.SSL_free(ssl_);
    throw ENetOSSLCreatingContextError(RSOSSLCreatingContextError);
  }
  // The SSL object owns both buffers from here. Until the end of input is
  // marked, an empty input buffer means "more may come".
  api.SSL_set_bio(ssl_, input_, output_);
  if (api.SSL_set_ex_data(ssl_, kAppDataSlot, this) <= 0) {
    api.SSL_free(ssl_);
    throw ENetOSSLDataBindingError(RSOSSLDataBindingError);
  }
  if (owner_.WantsStatusInfo()) api.SSL_set_info_callback(ssl_, InfoCallback);
  api.SSL_set_verify(ssl_, context.VerifyFlags(), VerifyCallback);
}

TNetSSLSocket::~TNetSSLSocket() {
  const auto& api = Api();
  // Nothing more goes out: OpenSSL just forgets the connection.
  api.SSL_set_shutdown(ssl_, SSL_SENT_SHUTDOWN | SSL_RECEIVED_SHUTDOWN);
  api.ERR_clear_error();
  api.SSL_free(ssl_);
}

void TNetSSLSocket::SendGoodbye() {
  if (!socket_.HandleAllocated()) return;
  Api().SSL_shutdown(ssl_);
  // A courtesy: a peer that takes nothing does not hold the close up.
  (void)FlushOutput(kWaitSliceMs);
  Api().ERR_clear_error();
}

void TNetSSLSocket::Connect(const std::string& hostName, int timeoutMs) {
  const auto& api = Api();
  if (IsIPAddress(hostName)) {
    api.X509_VERIFY_PARAM_set1_ip_asc(api.SSL_get0_param(ssl_), hostName.c_str());
  } else {
    api.SSL_set1_host(ssl_, hostName.c_str());
    // Server Name Indication: only names, never addresses.
    api.SSL_ctrl(ssl_, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name, const_cast<char*>(hostName.c_str()));
  }
  api.SSL_set_connect_state(ssl_);
  RunHandshake(Handshake::Client, timeoutMs);
}

void TNetSSLSocket::Accept(int timeoutMs) {
  Api().SSL_set_accept_state(ssl_);
  RunHandshake(Handshake::Server, timeoutMs);
}

namespace {

[[noreturn]] void RaiseHandshakeError(bool client, const std::string& reason) {
  if (client) throw ENetOSSLConnectError(std::string(RSOSSLConnectError) + " " + reason);
  throw ENetOSSLAcceptError(std::string(RSOSSLAcceptError) + " " + reason);
}

}  // namespace

void TNetSSLSocket::RunHandshake(Handshake kind, int timeoutMs) {
  const auto& api = Api();
  const bool client = kind == Handshake::Client;
  // One deadline for the whole handshake, however slowly a peer answers.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  auto left = [&] {
    if (timeoutMs == kNoTimeLimit) return kNoTimeLimit;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (ms.count() <= 0) throw ENetReadTimeout(RSReadTimeout);
    return static_cast<int>(ms.count());
  };
  for (;;) {
    api.ERR_clear_error();
    int result = api.SSL_do_handshake(ssl_);
    int error = result == 1 ? SSL_ERROR_NONE : api.SSL_get_error(ssl_, result);
    std::string reason = result == 1 || error == SSL_ERROR_WANT_READ ? std::string() : FailureReason(result);
    // Whatever OpenSSL wrote (the next flight, or an alert) goes out first.
    Flush flushed = FlushOutput(left());
    if (flushed == Flush::TimedOut) throw ENetWriteTimeout(RSWriteTimeout);
    if (flushed == Flush::Closed && reason.empty()) RaiseHandshakeError(client, RSOSSLConnectionLost);
    if (result == 1) return;
    if (error != SSL_ERROR_WANT_READ) RaiseHandshakeError(client, reason);
    Fill filled = Fill::Data;
    try {
      filled = FillInput(left());
    } catch (const ENetSocketError& e) {
      RaiseHandshakeError(client, e.Message);  // a reset is a failed handshake too
    }
    switch (filled) {
      case Fill::Data: break;
      case Fill::PeerClosed: MarkEndOfInput(); break;
      case Fill::Aborted: RaiseHandshakeError(client, RSOSSLConnectionLost);
      case Fill::TimedOut: throw ENetReadTimeout(RSReadTimeout);
    }
  }
}

std::string TNetSSLSocket::FailureReason(int result) const {
  const auto& api = Api();
  long verify = api.SSL_get_verify_result(ssl_);
  std::string queued = openssl::LastErrorReason();
  // A refused certificate says why, not only that verification failed.
  if (verify != X509_V_OK) return api.X509_verify_cert_error_string(verify);
  if (!queued.empty()) return queued;
  return result == 0 || peerClosed_ ? RSOSSLConnectionLost : RSOSSLNoReason;
}

int TNetSSLSocket::Receive(char* buffer, int length, int timeoutMs) {
  const auto& api = Api();
  for (;;) {
    api.ERR_clear_error();
    int result = api.SSL_read(ssl_, buffer, length);
    if (result > 0) {
      answered_ = true;
      return result;
    }
    int error = api.SSL_get_error(ssl_, result);
    if (error == SSL_ERROR_ZERO_RETURN) return 0;  // the peer's close_notify: a clean end
    if (error != SSL_ERROR_WANT_READ) {
      std::string reason = Format(RSOSSLReadError, FailureReason(result));
      // Everything that came was read, then the plain close without a goodbye.
      if (peerClosed_ && api.BIO_ctrl_pending(input_) == 0) throw ENetOSSLConnectionCut(reason);
      throw ENetOSSLReadError(reason);
    }
    // Post-handshake messages (a key update) may need an answer.
    const int flushMs = timeoutMs == kNoTimeLimit ? kNoTimeLimit : std::max(timeoutMs, kWaitSliceMs);
    if (FlushOutput(flushMs) != Flush::Done) return 0;
    switch (FillInput(timeoutMs)) {
      case Fill::Data: break;
      case Fill::Aborted: return 0;
      case Fill::TimedOut: winsock::WSASetLastError(winsock::WSAEWOULDBLOCK); return -1;
      case Fill::PeerClosed:
        // A plain close is a normal end right after a complete answer (the
        // connection's look for a close) and before any answer to what was
        // last sent (a kept connection the server dropped meanwhile): no
        // data can have been cut there. Elsewhere it may hide a cut, and
        // OpenSSL reports it as the unexpected end it is.
        if ((timeoutMs == 0 || !answered_) && api.BIO_ctrl_pending(input_) == 0) return 0;
        MarkEndOfInput();
        break;
    }
  }
}

int TNetSSLSocket::Send(const char* buffer, int length, int timeoutMs) {
  const auto& api = Api();
  api.ERR_clear_error();
  // The encrypted copy waits in memory until it is sent: bound it.
  int result = api.SSL_write(ssl_, buffer, std::min(length, kChunk));
  if (result <= 0) throw ENetOSSLWriteError(Format(RSOSSLWriteError, FailureReason(result)));
  answered_ = false;
  switch (FlushOutput(timeoutMs)) {
    case Flush::Done: return result;
    case Flush::TimedOut: winsock::WSASetLastError(winsock::WSAEWOULDBLOCK); return -1;
    case Flush::Closed: break;
  }
  return socket_.HandleAllocated() && !socket_.Interrupted() ? -1 : 0;
}

bool TNetSSLSocket::HasPendingData() const {
  const auto& api = Api();
  return api.SSL_pending(ssl_) > 0 || api.BIO_ctrl_pending(input_) > 0;
}

TNetSSLSocket::Fill TNetSSLSocket::FillInput(int timeoutMs) {
  if (peerClosed_) return Fill::PeerClosed;
  if (!socket_.HandleAllocated() || socket_.Interrupted()) return Fill::Aborted;
  if (!socket_.Readable(timeoutMs)) return Fill::TimedOut;
  char chunk[kChunk];
  int count = socket_.Recv(chunk, sizeof chunk);
  if (socket_.Interrupted()) return Fill::Aborted;
  if (count > 0) {
    Api().BIO_write(input_, chunk, count);
    return Fill::Data;
  }
  if (!socket_.HandleAllocated()) return Fill::Aborted;
  if (count < 0) {
    int error = GSocketStack->LastError();
    if (error == winsock::WSAESHUTDOWN) return Fill::Aborted;
    GSocketStack->RaiseSocketError(error);
  }
  peerClosed_ = true;
  return Fill::PeerClosed;
}

void TNetSSLSocket::MarkEndOfInput() {
  // From now on an empty input buffer is the end, which OpenSSL reports as
  // an unexpected end unless the peer said goodbye first.
  Api().BIO_ctrl(input_, BIO_C_SET_BUF_MEM_EOF_RETURN, 0, nullptr);
}

TNetSSLSocket::Flush TNetSSLSocket::FlushOutput(int timeoutMs) {
  const auto& api = Api();
  char chunk[kChunk];
  while (api.BIO_ctrl_pending(output_) > 0) {
    int count = api.BIO_read(output_, chunk, sizeof chunk);
    for (int done = 0; done < count;) {
      int sent = socket_.SendSome(chunk + done, count - done, timeoutMs);
      if (sent < 0 && GSocketStack->LastError() == winsock::WSAEWOULDBLOCK) return Flush::TimedOut;
      if (sent <= 0) return Flush::Closed;
      done += sent;
    }
  }
  return Flush::Done;
}

std::string TNetSSLSocket::Version() const { return Api().SSL_get_version(ssl_); }

std::string TNetSSLSocket::CipherName() const {
  const SSL_CIPHER* cipher = Api().SSL_get_current_cipher(ssl_);
  return cipher != nullptr ? Api().SSL_CIPHER_get_name(cipher) : std::string();
}

}  // namespace lark
