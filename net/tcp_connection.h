#pragma once

// The blocking, buffered byte pipe on which every protocol client is built.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/net_buffer.h"
#include "net/net_component.h"
#include "net/socket_stack.h"
#include "platform/core/string_list.h"

namespace lark {

class TNetConnectionIntercept;
class TStream;

// Longest line ReadLn accepts by default: far above any real header or reply
// line, far below what would hurt memory.
constexpr int kDefaultMaxLineLength = 64 * 1024;
// Most lines one multi-line reply may have.
constexpr int kMaxReplyLines = 10000;
// Most room a memory stream is given ahead of the bytes a peer announced;
// a longer body grows the stream as usual past it.
constexpr std::int64_t kMaxStreamReserve = 1024LL * 1024 * 1024;

class TNetTCPConnection : public TNetComponent {
 public:
  TNetTCPConnection();
  ~TNetTCPConnection() override;

  virtual void DoOnDisconnected();
  virtual void ResetConnection();
  virtual std::string ReadUntilClose();
  // Returns at once while the connection is open. Otherwise closes the
  // socket, and with raise throws "Connection Closed Gracefully." when the
  // input buffer is empty or ignoreBuffer is set.
  virtual void CheckConnectionClosed(bool raiseIfDisconnected = true, bool ignoreBuffer = false);
  virtual void PollForPeerClose(bool raiseIfDisconnected = false);
  virtual void CheckResponse(int code, const std::vector<int>& allowed);
  [[nodiscard]] virtual bool Connected();
  // The caller's way to drop the connection, also to abort a call running
  // on another thread: that call's wait ends and the call raises. Only the
  // thread that connected closes the socket and runs the events; from any
  // other thread this merely wakes it, and the close follows there.
  virtual void Disconnect();
  virtual void DisconnectSocket();
  // Disconnect was called since the connection was made: a close seen now
  // is the caller's abort, not the peer's doing.
  [[nodiscard]] bool DisconnectRequested() const { return disconnectRequested_; }
  virtual std::string TakeFromInputBuffer(std::int64_t n);
  virtual int GetResponse(const std::vector<int>& allowed = {});
  [[noreturn]] virtual void RaiseReplyError();
  // Receives once, at most length bytes (0: the receive buffer's size), into
  // buffer (null: the receive buffer) and answers the count. timeoutMs
  // kNoTimeLimit waits up to ReadTimeout (and never past a read deadline)
  // and then raises ENetReadTimeout; a finite time-out answers 0 when it passes.
  virtual int ReceiveFromSocket(bool raiseIfDisconnected, int timeoutMs, char* buffer, bool useInputBuffer,
                                int length = 0);
  // A line without its terminator. The default terminator is "\n" with a CR
  // before it dropped too. A finite time-out that passes answers "" and sets
  // ReadLnTimedOut; the bytes received so far stay buffered. A close before
  // the terminator raises "Connection Closed Gracefully.".
  virtual std::string ReadLn(const std::string& terminator = {}, int timeoutMs = kNoTimeLimit);
  virtual void DropFromInputBuffer(std::int64_t n);
  virtual int SendCmd(const std::string& text, const std::vector<int>& allowed = {});
  // One allowed code; -1 allows any.
  int SendCmd(const std::string& text, int allowed);
  virtual void Write(const std::string& text);
  virtual void WriteLn(const std::string& text = {});
  virtual void WriteStream(TStream& stream, bool all = true, bool writeByteCount = false);
  virtual std::int64_t WriteFile(const std::string& fileName);

  std::string ReadAvailable();
  void ReadBuffer(void* destination, std::int64_t n);
  std::int32_t ReadInteger(bool convert = true);
  std::string ReadLnSkipEmpty();
  // byteCount -1 without readUntilDisconnect reads a 4-byte count first. The
  // stream grows as bytes arrive and is cut at its end position afterwards.
  void ReadStream(TStream& stream, std::int64_t byteCount = -1, bool readUntilDisconnect = false);
  void WriteBuffer(const void* buffer, std::int64_t count);
  void WriteInteger(std::int32_t value, bool convert = true);
  void WriteStrings(const TStrings& lines);
  // Until cleared, reads without limit also raise ENetReadTimeout once this
  // point passes, however steadily bytes trickle in (a response head as a
  // whole must arrive in time).
  void SetReadDeadline(std::chrono::steady_clock::time_point deadline) { readDeadline_ = deadline; }
  void ClearReadDeadline() { readDeadline_.reset(); }

  [[nodiscard]] TNetConnectionIntercept* Intercept() const { return intercept_; }
  void SetIntercept(TNetConnectionIntercept* intercept);
  [[nodiscard]] bool InterceptEnabled() const { return interceptEnabled_; }
  void SetInterceptEnabled(bool enabled);
  [[nodiscard]] int RecvBufferSize() const { return static_cast<int>(recvBuffer_.size()); }
  void SetRecvBufferSize(int size);
  [[nodiscard]] bool ReadLnTimedOut() const { return readLnTimedOut_; }
  [[nodiscard]] std::int16_t ResultNumber() const { return resultNumber_; }
  [[nodiscard]] const TStringList& LastCmdResult() const { return lastCmdResult_; }
  [[nodiscard]] TNetSocketHandle& Socket() { return socket_; }
  [[nodiscard]] const TNetBuffer& InputBuffer() const { return inputBuffer_; }

  bool ASCIIFilter = false;
  int SendBufferSize = 32768;
  // Idle deadline of a read without limit: no byte for this long raises
  // ENetReadTimeout. A long transfer that keeps flowing never hits it.
  int ReadTimeout = 60000;
  int MaxLineLength = kDefaultMaxLineLength;
  TNotifyEvent OnDisconnected;

 protected:
  // A call that may connect more than once (a request and its redirects):
  // an earlier Disconnect says nothing about it, and a Disconnect that comes
  // while it runs, even before or between its connections, aborts it.
  class CallScope {
   public:
    explicit CallScope(TNetTCPConnection& connection) : connection_(connection) {
      connection_.disconnectRequested_ = false;
      connection_.callRunning_ = true;
    }
    ~CallScope() { connection_.callRunning_ = false; }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

   private:
    TNetTCPConnection& connection_;
  };

  TNetSocketHandle socket_;
  TNetBuffer inputBuffer_;

 private:
  // The intercept takes the bytes when enabled and it handles them.
  int RawReceive(char* buffer, int length, int timeoutMs);
  int RawSend(const char* buffer, int length);
  void ReadReplyLines(const std::string& first);
  // How long a read without limit may wait now; raises once the read deadline passed.
  [[nodiscard]] int IdleWaitMs() const;

  std::atomic<bool> closedGracefully_{false};
  std::atomic<bool> disconnectRequested_{false};
  std::atomic<bool> callRunning_{false};
  // The thread that made the connection, the only one that closes it.
  std::atomic<std::thread::id> ownerThread_{};
  std::optional<std::chrono::steady_clock::time_point> readDeadline_;
  TStringList lastCmdResult_;
  TNetConnectionIntercept* intercept_ = nullptr;
  bool interceptEnabled_ = false;
  bool readLnTimedOut_ = false;
  std::vector<char> recvBuffer_;
  std::int16_t resultNumber_ = 0;
};

}  // namespace lark
