#pragma once

// The process-wide socket stack and the socket handle of the network library.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/socket_api.h"

namespace lark {

using winsock::TSocket;

// Waits are cut into slices of this length so that a close from another
// thread, or a Stop pressed while the GUI thread waits, acts promptly.
constexpr int kWaitSliceMs = 100;
// A time-out of this value means "without limit".
constexpr int kNoTimeLimit = -2;

// Called after every wait slice with idle = no data arrived; the anti-freeze
// installs itself here. Empty by default.
void SetNetWaitHook(std::function<void(bool idle)> hook);
void CallNetWaitHook(bool idle);

// What a wait should give up for: a cancel request from elsewhere.
using TCancelCheck = std::function<bool()>;

struct TNetStackVersion {
  unsigned MaxSockets = 0;
  unsigned MaxUdpDg = 0;
  uint16_t HighVersion = 0;
  uint16_t Version = 0;
  std::string Description;
  std::string SystemStatus;
  std::string Name;
};

class TNetStack {
 public:
  virtual ~TNetStack() = default;

  virtual void FillLocalAddresses() = 0;
  [[nodiscard]] std::string LocalAddress();
  const std::vector<std::string>& LocalAddresses();

  virtual TSocket Accept(TSocket s, std::string& ip, int& port) = 0;
  virtual int Bind(TSocket s, int family, const std::string& ip, int port) = 0;
  virtual int CloseSocket(TSocket s) = 0;
  virtual int Connect(TSocket s, int family, const std::string& ip, int port) = 0;
  // The first address of a name; time-out in ms (kNoTimeLimit: none). The
  // look-up runs on a thread of its own, so a wait for it can be abandoned.
  virtual std::string HostByName(const std::string& name, int timeoutMs = kNoTimeLimit,
                                 const TCancelCheck& cancelled = {}) = 0;
  virtual std::string HostName() = 0;
  virtual std::string HostByAddress(const std::string& ip) = 0;
  virtual int ServicePort(const std::string& name) = 0;
  virtual void ServiceNames(int port, std::vector<std::string>& names) = 0;
  virtual int Listen(TSocket s, int backlog) = 0;
  virtual int Recv(TSocket s, void* buffer, int length, int flags) = 0;
  virtual int RecvFrom(TSocket s, void* buffer, int length, int flags, std::string& ip, int& port) = 0;
  // Each list keeps only its ready sockets; time-out in ms, kNoTimeLimit for none.
  virtual int Select(std::vector<TSocket>* readList, std::vector<TSocket>* writeList,
                     std::vector<TSocket>* errorList, int timeoutMs) = 0;
  virtual int Send(TSocket s, const void* buffer, int length, int flags) = 0;
  virtual int SendTo(TSocket s, const void* buffer, int length, int flags, const std::string& ip, int port) = 0;
  virtual int SetSockOpt(TSocket s, int level, int option, const void* value, int length) = 0;
  virtual TSocket CreateSocket(int family, int type, int protocol) = 0;
  virtual int Shutdown(TSocket s, int how) = 0;
  [[nodiscard]] virtual std::string ErrorText(int code);
  [[nodiscard]] virtual int LastError() = 0;
  virtual void PeerName(TSocket s, std::string& ip, int& port) = 0;
  virtual void SocketName(TSocket s, std::string& ip, int& port) = 0;

  // False when the result passes; true when it failed with an error of the
  // ignore list; raises the socket error otherwise.
  bool CheckForSocketError(int result, const std::vector<int>& ignore = {});
  [[noreturn]] void RaiseSocketError(int code);
  TSocket CreateSocketHandle(int type, int protocol = 0);
  std::string ResolveHost(const std::string& name, int timeoutMs = kNoTimeLimit, const TCancelCheck& cancelled = {});

  [[nodiscard]] static std::string AddressToText(uint32_t networkOrder);
  [[nodiscard]] static uint32_t TextToAddress(const std::string& text);
  [[nodiscard]] static bool IsDottedAddress(const std::string& text);

 private:
  std::unique_ptr<std::vector<std::string>> localAddresses_;

 protected:
  std::vector<std::string>& LocalAddressList();
};

class TNetStackWinsock : public TNetStack {
 public:
  TNetStackWinsock();
  ~TNetStackWinsock() override;

  void FillLocalAddresses() override;
  TSocket Accept(TSocket s, std::string& ip, int& port) override;
  int Bind(TSocket s, int family, const std::string& ip, int port) override;
  int CloseSocket(TSocket s) override;
  int Connect(TSocket s, int family, const std::string& ip, int port) override;
  std::string HostByName(const std::string& name, int timeoutMs = kNoTimeLimit,
                         const TCancelCheck& cancelled = {}) override;
  std::string HostName() override;
  std::string HostByAddress(const std::string& ip) override;
  int ServicePort(const std::string& name) override;
  void ServiceNames(int port, std::vector<std::string>& names) override;
  int Listen(TSocket s, int backlog) override;
  int Recv(TSocket s, void* buffer, int length, int flags) override;
  int RecvFrom(TSocket s, void* buffer, int length, int flags, std::string& ip, int& port) override;
  int Select(std::vector<TSocket>* readList, std::vector<TSocket>* writeList, std::vector<TSocket>* errorList,
             int timeoutMs) override;
  int Send(TSocket s, const void* buffer, int length, int flags) override;
  int SendTo(TSocket s, const void* buffer, int length, int flags, const std::string& ip, int port) override;
  int SetSockOpt(TSocket s, int level, int option, const void* value, int length) override;
  TSocket CreateSocket(int family, int type, int protocol) override;
  int Shutdown(TSocket s, int how) override;
  int LastError() override;
  void PeerName(TSocket s, std::string& ip, int& port) override;
  void SocketName(TSocket s, std::string& ip, int& port) override;

  const TNetStackVersion& Version() const { return version_; }

 private:
  TNetStackVersion version_;
};

// The stack every network component uses; made by the first component and
// freed with the last (AcquireSocketStack / ReleaseSocketStack).
extern TNetStack* GSocketStack;
void AcquireSocketStack();
void ReleaseSocketStack();

// One socket. A close from another thread while this thread waits or
// receives on it only shuts the socket down (which wakes the wait); the
// descriptor is closed when the last call using it returns, so its number is
// never reused under a running call.
class TNetSocketHandle {
 public:
  TNetSocketHandle() = default;
  ~TNetSocketHandle();
  TNetSocketHandle(const TNetSocketHandle&) = delete;
  TNetSocketHandle& operator=(const TNetSocketHandle&) = delete;

  void Allocate(int type = winsock::SockStream, int protocol = 0);
  void CloseSocket(bool resetLocal = true);
  // Safe from any thread: shuts the socket down, which wakes a wait or
  // receive on it, and marks it interrupted; the owner closes it later.
  void Interrupt();
  [[nodiscard]] bool Interrupted() const { return interrupted_; }
  // Connects to PeerIP:PeerPort within timeoutMs (kNoTimeLimit: none),
  // giving up when the handle is closed meanwhile.
  void Connect(int family = winsock::AfInet, int timeoutMs = kNoTimeLimit);
  void Bind();
  void Listen(int backlog);
  void Accept(TSocket listening);
  int Recv(void* buffer, int length, int flags = 0);
  int Send(const void* buffer, int length, int flags = 0);
  // Sends what the socket takes of buffer, waiting for room in slices (each
  // followed by the wait hook) for at most timeoutMs (kNoTimeLimit: none)
  // without progress. Answers the count sent; 0 when the socket was closed
  // or interrupted meanwhile; -1 with the error, WSAEWOULDBLOCK when no room
  // came in time.
  int SendSome(const void* buffer, int length, int timeoutMs);
  int RecvFrom(void* buffer, int length, int flags, std::string& ip, int& port);
  void SetSockOpt(int level, int option, const void* value, int length);
  void SetPeer(const std::string& ip, int port);
  void Reset(bool resetLocal = true);
  // Whether data can be read within timeoutMs (kNoTimeLimit: without limit).
  // A handle closed meanwhile answers true, so that the read finds the end.
  [[nodiscard]] bool Readable(int timeoutMs);

  [[nodiscard]] TSocket Handle() const;
  [[nodiscard]] bool HandleAllocated() const;

  std::string IP;
  int Port = 0;
  std::string PeerIP;
  int PeerPort = 0;

 private:
  class Use;
  bool WaitWritable(TSocket s, int timeoutMs);
  // A blocking send never waits longer than one slice, so that SendSome
  // keeps its slices whatever the peer reads.
  void LimitSendWait(TSocket s);

  mutable std::mutex mutex_;
  TSocket handle_ = winsock::INVALID_SOCKET;
  std::atomic<bool> interrupted_{false};
  int users_ = 0;
  std::vector<TSocket> closeWhenUnused_;
};

}  // namespace lark
