#include "net/socket_stack.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <thread>

#include "net/net_exception.h"
#include "net/net_messages.h"
#include "platform/core/format.h"
#include "platform/core/string_routines.h"

namespace lark {

using namespace net_messages;
using Clock = std::chrono::steady_clock;

namespace {

std::function<void(bool)>& WaitHook() {
  static std::function<void(bool)> hook;
  return hook;
}

std::mutex stackMutex;
int stackUsers = 0;

// Milliseconds left before the deadline, at most one slice; none without a deadline.
int SliceBefore(const Clock::time_point* deadline) {
  if (deadline == nullptr) return kWaitSliceMs;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, kWaitSliceMs));
}

bool Passed(const Clock::time_point* deadline) { return deadline != nullptr && Clock::now() >= *deadline; }

winsock::SocketSet ToSet(const std::vector<TSocket>* list) {
  winsock::SocketSet set;
  if (list != nullptr) {
    for (TSocket s : *list) winsock::SetAdd(s, set);
  }
  return set;
}

void FromSet(const winsock::SocketSet& set, std::vector<TSocket>* list) {
  if (list != nullptr) list->assign(set.fd_array, set.fd_array + set.fd_count);
}

winsock::SocketAddress ToAddress(const std::string& ip, int port) {
  return winsock::SocketAddress{ip.empty() ? 0u : TNetStack::TextToAddress(ip), static_cast<uint16_t>(port)};
}

// A name look-up shared between the waiting caller and the thread that runs
// it; either may finish first.
struct Lookup {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  int error = 0;
  std::vector<uint32_t> addresses;
};

}  // namespace

void SetNetWaitHook(std::function<void(bool idle)> hook) { WaitHook() = std::move(hook); }

void CallNetWaitHook(bool idle) {
  if (WaitHook()) WaitHook()(idle);
}

// ---------------------------------------------------------------- TNetStack

std::vector<std::string>& TNetStack::LocalAddressList() {
  if (!localAddresses_) localAddresses_ = std::make_unique<std::vector<std::string>>();
  return *localAddresses_;
}

const std::vector<std::string>& TNetStack::LocalAddresses() {
  LocalAddressList().clear();
  FillLocalAddresses();
  return LocalAddressList();
}

std::string TNetStack::LocalAddress() {
  const auto& list = LocalAddresses();
  return list.empty() ? std::string() : list.front();
}

std::string TNetStack::ErrorText(int code) {
  return Format(RSStackError, code, WinsockErrorText(code));
}

bool TNetStack::CheckForSocketError(int result, const std::vector<int>& ignore) {
  if (result != winsock::SOCKET_ERROR) return false;
  int code = LastError();
  if (std::find(ignore.begin(), ignore.end(), code) != ignore.end()) return true;
  RaiseSocketError(code);
}

void TNetStack::RaiseSocketError(int code) { throw ENetSocketError(code, ErrorText(code)); }

TSocket TNetStack::CreateSocketHandle(int type, int protocol) {
  TSocket s = CreateSocket(winsock::AfInet, type, protocol);
  if (s == winsock::INVALID_SOCKET) throw ENetInvalidSocket(RSCannotAllocateSocket);
  return s;
}

bool TNetStack::IsDottedAddress(const std::string& text) {
  int parts = 0;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('.', start);
    std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.empty() || part.size() > 3 || !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    if (std::stoi(part) > 255) return false;
    ++parts;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts == 4;
}

std::string TNetStack::ResolveHost(const std::string& name, int timeoutMs, const TCancelCheck& cancelled) {
  if (SameText(name, "LOCALHOST")) return "127.0.0.1";
  if (IsDottedAddress(name)) return name;
  return HostByName(name, timeoutMs, cancelled);
}

std::string TNetStack::AddressToText(uint32_t networkOrder) {
  const auto* b = reinterpret_cast<const unsigned char*>(&networkOrder);
  return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." + std::to_string(b[3]);
}

uint32_t TNetStack::TextToAddress(const std::string& text) {
  uint32_t result = 0;
  auto* b = reinterpret_cast<unsigned char*>(&result);
  size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    size_t end = text.find('.', start);
    std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    b[i] = static_cast<unsigned char>(std::strtoul(part.c_str(), nullptr, 10));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return result;
}

// --------------------------------------------------------- TNetStackWinsock

TNetStackWinsock::TNetStackWinsock() {
  winsock::WSAData data;
  if (winsock::WSAStartup(0x0101, data) != 0) throw ENetStackInitializationFailed(RSWinsockInitializationError);
  version_.MaxSockets = data.iMaxSockets;
  version_.MaxUdpDg = data.iMaxUdpDg;
  version_.HighVersion = data.wHighVersion;
  version_.Version = data.wVersion;
  version_.Description = data.szDescription;
  version_.SystemStatus = data.szSystemStatus;
  version_.Name = RSStackName;
}

TNetStackWinsock::~TNetStackWinsock() { winsock::WSACleanup(); }

void TNetStackWinsock::FillLocalAddresses() {
  std::vector<uint32_t> addresses;
  if (winsock::GetHostAddresses(HostName(), addresses) != 0) RaiseSocketError(LastError());
  for (uint32_t a : addresses) LocalAddressList().push_back(AddressToText(a));
}

TSocket TNetStackWinsock::Accept(TSocket s, std::string& ip, int& port) {
  winsock::SocketAddress peer;
  TSocket result = winsock::accept(s, &peer);
  if (result != winsock::INVALID_SOCKET) {
    ip = AddressToText(peer.address);
    port = peer.port;
  }
  return result;
}

int TNetStackWinsock::Bind(TSocket s, int, const std::string& ip, int port) {
  return winsock::bind(s, ToAddress(ip, port));
}

int TNetStackWinsock::CloseSocket(TSocket s) { return winsock::closesocket(s); }

int TNetStackWinsock::Connect(TSocket s, int, const std::string& ip, int port) {
  return winsock::connect(s, ToAddress(ip, port));
}

std::string TNetStackWinsock::HostByName(const std::string& name, int timeoutMs, const TCancelCheck& cancelled) {
  auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, name] {
    std::vector<uint32_t> addresses;
    int error = winsock::GetHostAddresses(name, addresses);
    std::lock_guard lock(lookup->mutex);
    lookup->error = error;
    lookup->addresses = std::move(addresses);
    lookup->finished = true;
    lookup->done.notify_all();
  }).detach();

  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const Clock::time_point* limit = timeoutMs == kNoTimeLimit ? nullptr : &deadline;
  std::unique_lock lock(lookup->mutex);
  while (!lookup->done.wait_for(lock, std::chrono::milliseconds(SliceBefore(limit)), [&] { return lookup->finished; })) {
    lock.unlock();
    CallNetWaitHook(true);
    bool abandon = (cancelled && cancelled()) || Passed(limit);
    lock.lock();
    // The look-up thread finishes on its own and drops its result.
    if (abandon && !lookup->finished) RaiseSocketError(winsock::WSAETIMEDOUT);
  }
  if (lookup->error != 0) RaiseSocketError(lookup->error);
  return AddressToText(lookup->addresses.front());
}

std::string TNetStackWinsock::HostName() {
  char name[251] = {};
  CheckForSocketError(winsock::gethostname(name, 250));
  return name;
}

std::string TNetStackWinsock::HostByAddress(const std::string& ip) {
  std::string name;
  int error = winsock::GetHostNameByAddress(TextToAddress(ip), name);
  if (error != 0) RaiseSocketError(error);
  return name;
}

int TNetStackWinsock::ServicePort(const std::string& name) {
  uint16_t port = 0;
  if (winsock::GetServicePort(name, port) == 0) return port;
  char* end = nullptr;
  long value = std::strtol(name.c_str(), &end, 10);
  if (name.empty() || *end != '\0' || value < 0 || value > 65535) {
    throw ENetInvalidServiceName(Format(RSInvalidServiceName, name));
  }
  return static_cast<int>(value);
}

void TNetStackWinsock::ServiceNames(int port, std::vector<std::string>& names) {
  if (winsock::GetServiceNames(static_cast<uint16_t>(port), names) != 0) RaiseSocketError(LastError());
}

int TNetStackWinsock::Listen(TSocket s, int backlog) { return winsock::listen(s, backlog); }

int TNetStackWinsock::Recv(TSocket s, void* buffer, int length, int flags) {
  return winsock::recv(s, buffer, length, flags);
}

int TNetStackWinsock::RecvFrom(TSocket s, void* buffer, int length, int flags, std::string& ip, int& port) {
  winsock::SocketAddress from;
  int result = winsock::recvfrom(s, buffer, length, flags, &from);
  if (result >= 0) {
    ip = AddressToText(from.address);
    port = from.port;
  }
  return result;
}

int TNetStackWinsock::Select(std::vector<TSocket>* readList, std::vector<TSocket>* writeList,
                             std::vector<TSocket>* errorList, int timeoutMs) {
  for (const auto* list : {readList, writeList, errorList}) {
    if (list != nullptr && list->size() > winsock::kSocketSetSize) throw ENetStackSetSizeExceeded(RSSetSizeExceeded);
  }
  winsock::SocketSet readSet = ToSet(readList);
  winsock::SocketSet writeSet = ToSet(writeList);
  winsock::SocketSet errorSet = ToSet(errorList);
  winsock::TimeVal time{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  int result = winsock::select(0, readList ? &readSet : nullptr, writeList ? &writeSet : nullptr,
                               errorList ? &errorSet : nullptr, timeoutMs == kNoTimeLimit ? nullptr : &time);
  if (result != winsock::SOCKET_ERROR) {
    FromSet(readSet, readList);
    FromSet(writeSet, writeList);
    FromSet(errorSet, errorList);
  }
  return result;
}

int TNetStackWinsock::Send(TSocket s, const void* buffer, int length, int flags) {
  return winsock::send(s, buffer, length, flags);
}

int TNetStackWinsock::SendTo(TSocket s, const void* buffer, int length, int flags, const std::string& ip, int port) {
  return winsock::sendto(s, buffer, length, flags, ToAddress(ip, port));
}

int TNetStackWinsock::SetSockOpt(TSocket s, int level, int option, const void* value, int length) {
  return winsock::setsockopt(s, level, option, value, length);
}

TSocket TNetStackWinsock::CreateSocket(int family, int type, int protocol) {
  return winsock::socket(family, type, protocol);
}

int TNetStackWinsock::Shutdown(TSocket s, int how) { return winsock::shutdown(s, how); }

int TNetStackWinsock::LastError() { return winsock::WSAGetLastError(); }

void TNetStackWinsock::PeerName(TSocket s, std::string& ip, int& port) {
  winsock::SocketAddress address;
  CheckForSocketError(winsock::getpeername(s, address));
  ip = AddressToText(address.address);
  port = address.port;
}

void TNetStackWinsock::SocketName(TSocket s, std::string& ip, int& port) {
  winsock::SocketAddress address;
  CheckForSocketError(winsock::getsockname(s, address));
  ip = AddressToText(address.address);
  port = address.port;
}

// --------------------------------------------------------------- the stack

TNetStack* GSocketStack = nullptr;

void AcquireSocketStack() {
  std::lock_guard lock(stackMutex);
  if (stackUsers++ == 0 && GSocketStack == nullptr) GSocketStack = new TNetStackWinsock();
}

void ReleaseSocketStack() {
  std::lock_guard lock(stackMutex);
  if (--stackUsers == 0) {
    delete GSocketStack;
    GSocketStack = nullptr;
  }
}

// -------------------------------------------------------- TNetSocketHandle

// Marks the socket as in use for the length of one call, so that a close
// from another thread defers closing the descriptor until the call returns.
class TNetSocketHandle::Use {
 public:
  explicit Use(TNetSocketHandle& owner) : owner_(owner) {
    std::lock_guard lock(owner_.mutex_);
    fd = owner_.handle_;
    if (fd != winsock::INVALID_SOCKET) ++owner_.users_;
  }
  ~Use() {
    if (fd == winsock::INVALID_SOCKET) return;
    std::lock_guard lock(owner_.mutex_);
    if (--owner_.users_ == 0) {
      for (TSocket s : owner_.closeWhenUnused_) GSocketStack->CloseSocket(s);
      owner_.closeWhenUnused_.clear();
    }
  }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;

  TSocket fd;

 private:
  TNetSocketHandle& owner_;
};

TNetSocketHandle::~TNetSocketHandle() { CloseSocket(); }

TSocket TNetSocketHandle::Handle() const {
  std::lock_guard lock(mutex_);
  return handle_;
}

bool TNetSocketHandle::HandleAllocated() const { return Handle() != winsock::INVALID_SOCKET; }

void TNetSocketHandle::Allocate(int type, int protocol) {
  CloseSocket();
  TSocket s = GSocketStack->CreateSocketHandle(type, protocol);
  std::lock_guard lock(mutex_);
  handle_ = s;
  interrupted_ = false;
}

void TNetSocketHandle::Interrupt() {
  std::lock_guard lock(mutex_);
  if (handle_ == winsock::INVALID_SOCKET) return;
  interrupted_ = true;
  GSocketStack->Shutdown(handle_, winsock::SdBoth);
}

void TNetSocketHandle::CloseSocket(bool resetLocal) {
  {
    std::lock_guard lock(mutex_);
    if (handle_ == winsock::INVALID_SOCKET) return;
    GSocketStack->Shutdown(handle_, winsock::SdSend);
    if (users_ > 0) {
      // Another call waits on it: wake it and let it close the descriptor.
      GSocketStack->Shutdown(handle_, winsock::SdBoth);
      closeWhenUnused_.push_back(handle_);
    } else {
      GSocketStack->CloseSocket(handle_);
    }
    handle_ = winsock::INVALID_SOCKET;
    interrupted_ = false;
  }
  Reset(resetLocal);
}

void TNetSocketHandle::Reset(bool resetLocal) {
  PeerIP.clear();
  PeerPort = 0;
  if (resetLocal) {
    IP.clear();
    Port = 0;
  }
}

void TNetSocketHandle::SetPeer(const std::string& ip, int port) {
  PeerIP = ip;
  PeerPort = port;
}

bool TNetSocketHandle::WaitWritable(TSocket s, int timeoutMs) {
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const Clock::time_point* limit = timeoutMs == kNoTimeLimit ? nullptr : &deadline;
  for (;;) {
    std::vector<TSocket> list{s};
    int n = GSocketStack->Select(nullptr, &list, nullptr, SliceBefore(limit));
    GSocketStack->CheckForSocketError(n);
    if (n == 1) return true;
    CallNetWaitHook(true);
    if (!HandleAllocated() || interrupted_ || Passed(limit)) return false;
  }
}

void TNetSocketHandle::Connect(int family, int timeoutMs) {
  Use use(*this);
  if (use.fd == winsock::INVALID_SOCKET) throw ENetConnClosedGracefully(RSConnectionClosedGracefully);
  unsigned long nonBlocking = 1;
  GSocketStack->CheckForSocketError(winsock::ioctlsocket(use.fd, winsock::FionBio, &nonBlocking));
  if (GSocketStack->CheckForSocketError(GSocketStack->Connect(use.fd, family, PeerIP, PeerPort),
                                        {winsock::WSAEINPROGRESS, winsock::WSAEWOULDBLOCK})) {
    bool connected = WaitWritable(use.fd, timeoutMs);
    // A close from another thread ends the attempt, whatever the wait saw.
    if (!HandleAllocated() || interrupted_) throw ENetConnClosedGracefully(RSConnectionClosedGracefully);
    if (!connected) throw ENetConnectTimeout(Format(RSConnectTimeout, PeerIP + ":" + std::to_string(PeerPort)));
    int error = 0;
    int length = sizeof error;
    GSocketStack->CheckForSocketError(winsock::getsockopt(use.fd, winsock::SolSocket, winsock::SoError, &error, &length));
    if (error != 0) GSocketStack->RaiseSocketError(error);
  }
  nonBlocking = 0;
  GSocketStack->CheckForSocketError(winsock::ioctlsocket(use.fd, winsock::FionBio, &nonBlocking));
  LimitSendWait(use.fd);
  GSocketStack->SocketName(use.fd, IP, Port);
  GSocketStack->PeerName(use.fd, PeerIP, PeerPort);
}

void TNetSocketHandle::Bind() {
  Use use(*this);
  if (GSocketStack->CheckForSocketError(GSocketStack->Bind(use.fd, winsock::AfInet, IP, Port),
                                        {winsock::WSAEADDRINUSE})) {
    throw ENetCouldNotBindSocket(RSCouldNotBindSocket);
  }
}

void TNetSocketHandle::Listen(int backlog) {
  Use use(*this);
  GSocketStack->CheckForSocketError(GSocketStack->Listen(use.fd, backlog));
}

void TNetSocketHandle::Accept(TSocket listening) {
  CloseSocket();
  std::string ip;
  int port = 0;
  TSocket s = GSocketStack->Accept(listening, ip, port);
  GSocketStack->CheckForSocketError(s);
  {
    std::lock_guard lock(mutex_);
    handle_ = s;
    interrupted_ = false;
  }
  LimitSendWait(s);
  GSocketStack->SocketName(s, IP, Port);
  SetPeer(ip, port);
}

int TNetSocketHandle::Recv(void* buffer, int length, int flags) {
  Use use(*this);
  if (use.fd == winsock::INVALID_SOCKET) return 0;
  return GSocketStack->Recv(use.fd, buffer, length, flags);
}

int TNetSocketHandle::Send(const void* buffer, int length, int flags) {
  Use use(*this);
  if (use.fd == winsock::INVALID_SOCKET) return 0;
  return GSocketStack->Send(use.fd, buffer, length, flags);
}

void TNetSocketHandle::LimitSendWait(TSocket s) {
  int ms = kWaitSliceMs;
  GSocketStack->CheckForSocketError(GSocketStack->SetSockOpt(s, winsock::SolSocket, winsock::SoSndTimeo, &ms, sizeof ms));
}

int TNetSocketHandle::SendSome(const void* buffer, int length, int timeoutMs) {
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const Clock::time_point* limit = timeoutMs == kNoTimeLimit ? nullptr : &deadline;
  for (;;) {
    {
      Use use(*this);
      if (use.fd == winsock::INVALID_SOCKET || interrupted_) return 0;
      std::vector<TSocket> list{use.fd};
      int n = GSocketStack->Select(nullptr, &list, nullptr, SliceBefore(limit));
      GSocketStack->CheckForSocketError(n);
      if (n == 1) {
        int sent = GSocketStack->Send(use.fd, buffer, length, 0);
        if (sent != winsock::SOCKET_ERROR || GSocketStack->LastError() != winsock::WSAEWOULDBLOCK) return sent;
      }
    }
    CallNetWaitHook(true);
    if (Passed(limit)) {
      winsock::WSASetLastError(winsock::WSAEWOULDBLOCK);
      return winsock::SOCKET_ERROR;
    }
  }
}

int TNetSocketHandle::RecvFrom(void* buffer, int length, int flags, std::string& ip, int& port) {
  Use use(*this);
  if (use.fd == winsock::INVALID_SOCKET) return 0;
  return GSocketStack->RecvFrom(use.fd, buffer, length, flags, ip, port);
}

void TNetSocketHandle::SetSockOpt(int level, int option, const void* value, int length) {
  Use use(*this);
  GSocketStack->CheckForSocketError(GSocketStack->SetSockOpt(use.fd, level, option, value, length));
}

bool TNetSocketHandle::Readable(int timeoutMs) {
  if (!HandleAllocated()) throw ENetConnClosedGracefully(RSConnectionClosedGracefully);
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  const Clock::time_point* limit = timeoutMs == kNoTimeLimit ? nullptr : &deadline;
  for (;;) {
    {
      Use use(*this);
      if (use.fd == winsock::INVALID_SOCKET || interrupted_) return true;
      std::vector<TSocket> list{use.fd};
      int n = GSocketStack->Select(&list, nullptr, nullptr, SliceBefore(limit));
      GSocketStack->CheckForSocketError(n);
      if (n == 1) {
        CallNetWaitHook(false);
        return true;
      }
    }
    CallNetWaitHook(true);
    if (Passed(limit)) return false;
  }
}

}  // namespace lark
