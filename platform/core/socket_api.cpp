#include "platform/core/socket_api.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <mutex>

namespace lark::winsock {
namespace {

thread_local int lastError = 0;

int ErrorFromErrno(int error) {
  switch (error) {
    case EINTR: return WSAEINTR;
    case EBADF: return WSAEBADF;
    case EACCES: case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE: case ENFILE: return WSAEMFILE;
    case EAGAIN: return WSAEWOULDBLOCK;
    case EINPROGRESS: return WSAEINPROGRESS;
    case EALREADY: return WSAEALREADY;
    case ENOTSOCK: return WSAENOTSOCK;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ENETRESET: return 10052;
    case ECONNABORTED: return WSAECONNABORTED;
    case ECONNRESET: return WSAECONNRESET;
    case ENOBUFS: case ENOMEM: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: case EPIPE: return WSAESHUTDOWN;
    case ETOOMANYREFS: return 10059;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case ELOOP: return 10062;
    case ENAMETOOLONG: return 10063;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    case ENOTEMPTY: return 10066;
    default: return WSAEINVAL;
  }
}

// Records the failure of the last call and answers SOCKET_ERROR.
int Fail() {
  lastError = ErrorFromErrno(errno);
  return SOCKET_ERROR;
}

int Succeed(int result) {
  return result < 0 ? Fail() : result;
}

int ResolverError(int code) {
  switch (code) {
    case EAI_AGAIN: return WSATRY_AGAIN;
    case EAI_FAIL: return WSANO_RECOVERY;
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
#ifdef EAI_NODATA
    case EAI_NODATA: return WSANO_DATA;
#endif
    case EAI_SYSTEM: return ErrorFromErrno(errno);
    default: return WSANO_RECOVERY;
  }
}

int StoreError(int error) {
  lastError = error;
  return error;
}

int FailWith(int error) {
  lastError = error;
  return SOCKET_ERROR;
}

// Runs a system call again while a signal interrupted it.
template <typename Call>
auto Retry(Call call) {
  for (;;) {
    auto result = call();
    if (result >= 0 || errno != EINTR) return result;
  }
}

sockaddr_in ToSockAddr(const SocketAddress& address) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  result.sin_addr.s_addr = address.address;
  result.sin_port = ::htons(address.port);
  return result;
}

SocketAddress FromSockAddr(const sockaddr_in& address) {
  return SocketAddress{address.sin_addr.s_addr, ::ntohs(address.sin_port)};
}

bool TranslateOption(int level, int option, int& osLevel, int& osOption) {
  if (level == IpProtoTcp && option == TcpNoDelay) {
    osLevel = IPPROTO_TCP;
    osOption = TCP_NODELAY;
    return true;
  }
  if (level != SolSocket) return false;
  osLevel = SOL_SOCKET;
  switch (option) {
    case SoReuseAddr: osOption = SO_REUSEADDR; return true;
    case SoKeepAlive: osOption = SO_KEEPALIVE; return true;
    case SoSndBuf: osOption = SO_SNDBUF; return true;
    case SoRcvBuf: osOption = SO_RCVBUF; return true;
    case SoSndTimeo: osOption = SO_SNDTIMEO; return true;
    case SoRcvTimeo: osOption = SO_RCVTIMEO; return true;
    case SoError: osOption = SO_ERROR; return true;
    default: return false;
  }
}

void AddToPoll(const SocketSet* set, short events, std::vector<pollfd>& fds) {
  if (set == nullptr) return;
  for (unsigned i = 0; i < set->fd_count; ++i) {
    auto found = std::find_if(fds.begin(), fds.end(),
                              [&](const pollfd& p) { return p.fd == set->fd_array[i]; });
    if (found != fds.end()) {
      found->events |= events;
    } else {
      fds.push_back(pollfd{set->fd_array[i], events, 0});
    }
  }
}

// Keeps in the set only the sockets whose poll result matches; answers their count.
int KeepReady(SocketSet* set, short revents, const std::vector<pollfd>& fds) {
  if (set == nullptr) return 0;
  unsigned kept = 0;
  for (unsigned i = 0; i < set->fd_count; ++i) {
    for (const pollfd& p : fds) {
      if (p.fd == set->fd_array[i] && (p.revents & revents) != 0) {
        set->fd_array[kept++] = p.fd;
        break;
      }
    }
  }
  set->fd_count = kept;
  return static_cast<int>(kept);
}

}  // namespace

void SetAdd(TSocket s, SocketSet& set) {
  if (SetContains(s, set) || set.fd_count >= kSocketSetSize) return;
  set.fd_array[set.fd_count++] = s;
}

bool SetContains(TSocket s, const SocketSet& set) {
  return std::find(set.fd_array, set.fd_array + set.fd_count, s) != set.fd_array + set.fd_count;
}

int WSAStartup(uint16_t versionRequested, WSAData& data) {
  // A peer that closes while we write must give an error, not end the process.
  static std::once_flag ignorePipe;
  std::call_once(ignorePipe, [] { std::signal(SIGPIPE, SIG_IGN); });
  data.wVersion = versionRequested;
  data.wHighVersion = 0x0101;
  data.szDescription = "POSIX sockets";
  data.szSystemStatus = "Running";
  long maxFiles = sysconf(_SC_OPEN_MAX);
  data.iMaxSockets = maxFiles > 0 ? static_cast<unsigned>(std::min(maxFiles, 32767L)) : 32767;
  data.iMaxUdpDg = 65467;
  return 0;
}

int WSACleanup() { return 0; }
int WSAGetLastError() { return lastError; }
void WSASetLastError(int error) { lastError = error; }

TSocket socket(int family, int type, int protocol) {
  if (family != AfInet) return FailWith(10047);
  int osType = type == SockDgram ? SOCK_DGRAM : SOCK_STREAM;
  int fd = ::socket(AF_INET, osType | SOCK_CLOEXEC, protocol);
  return fd < 0 ? Fail() : fd;
}

int closesocket(TSocket s) {
  // After close the descriptor is gone even when close reports EINTR, so it
  // is never retried.
  return ::close(s) < 0 && errno != EINTR ? Fail() : 0;
}

int shutdown(TSocket s, int how) {
  int osHow = how == SdReceive ? SHUT_RD : how == SdSend ? SHUT_WR : SHUT_RDWR;
  return Succeed(::shutdown(s, osHow));
}

int bind(TSocket s, const SocketAddress& address) {
  sockaddr_in a = ToSockAddr(address);
  return Succeed(::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a));
}

int connect(TSocket s, const SocketAddress& address) {
  sockaddr_in a = ToSockAddr(address);
  if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return 0;
  if (errno != EINTR) return Fail();
  // An interrupted connect goes on in the background; wait for its outcome.
  pollfd p{s, POLLOUT, 0};
  if (Retry([&] { return ::poll(&p, 1, -1); }) < 0) return Fail();
  int error = 0;
  socklen_t length = sizeof error;
  ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length);
  if (error == 0) return 0;
  errno = error;
  return Fail();
}

int listen(TSocket s, int backlog) { return Succeed(::listen(s, backlog)); }

TSocket accept(TSocket s, SocketAddress* peer) {
  sockaddr_in a{};
  socklen_t length = sizeof a;
  int fd = Retry([&] { return ::accept4(s, reinterpret_cast<sockaddr*>(&a), &length, SOCK_CLOEXEC); });
  if (fd < 0) return Fail();
  if (peer != nullptr) *peer = FromSockAddr(a);
  return fd;
}

int getpeername(TSocket s, SocketAddress& address) {
  sockaddr_in a{};
  socklen_t length = sizeof a;
  if (::getpeername(s, reinterpret_cast<sockaddr*>(&a), &length) < 0) return Fail();
  address = FromSockAddr(a);
  return 0;
}

int getsockname(TSocket s, SocketAddress& address) {
  sockaddr_in a{};
  socklen_t length = sizeof a;
  if (::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) < 0) return Fail();
  address = FromSockAddr(a);
  return 0;
}

int setsockopt(TSocket s, int level, int option, const void* value, int length) {
  int osLevel = 0;
  int osOption = 0;
  if (!TranslateOption(level, option, osLevel, osOption)) return FailWith(10042);
  if (osOption == SO_SNDTIMEO || osOption == SO_RCVTIMEO) {
    if (length < 4) return FailWith(WSAEFAULT);
    uint32_t ms = 0;
    std::memcpy(&ms, value, 4);
    timeval tv{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000)};
    return Succeed(::setsockopt(s, osLevel, osOption, &tv, sizeof tv));
  }
  return Succeed(::setsockopt(s, osLevel, osOption, value, static_cast<socklen_t>(length)));
}

int getsockopt(TSocket s, int level, int option, void* value, int* length) {
  int osLevel = 0;
  int osOption = 0;
  if (!TranslateOption(level, option, osLevel, osOption)) return FailWith(10042);
  socklen_t osLength = static_cast<socklen_t>(*length);
  if (::getsockopt(s, osLevel, osOption, value, &osLength) < 0) return Fail();
  if (osOption == SO_ERROR && osLength >= sizeof(int)) {
    int error = 0;
    std::memcpy(&error, value, sizeof error);
    if (error != 0) error = ErrorFromErrno(error);
    std::memcpy(value, &error, sizeof error);
  }
  *length = static_cast<int>(osLength);
  return 0;
}

int ioctlsocket(TSocket s, long command, unsigned long* argument) {
  if (command == FionBio) {
    int flags = ::fcntl(s, F_GETFL);
    if (flags < 0) return Fail();
    flags = *argument != 0 ? flags | O_NONBLOCK : flags & ~O_NONBLOCK;
    return Succeed(::fcntl(s, F_SETFL, flags));
  }
  if (command == FionRead) {
    int available = 0;
    if (::ioctl(s, FIONREAD, &available) < 0) return Fail();
    *argument = static_cast<unsigned long>(available);
    return 0;
  }
  return FailWith(WSAEINVAL);
}

int recv(TSocket s, void* buffer, int length, int flags) {
  auto n = Retry([&] { return ::recv(s, buffer, static_cast<size_t>(length), flags); });
  return n < 0 ? Fail() : static_cast<int>(n);
}

int send(TSocket s, const void* buffer, int length, int flags) {
  auto n = Retry([&] { return ::send(s, buffer, static_cast<size_t>(length), flags | MSG_NOSIGNAL); });
  return n < 0 ? Fail() : static_cast<int>(n);
}

int recvfrom(TSocket s, void* buffer, int length, int flags, SocketAddress* from) {
  sockaddr_in a{};
  socklen_t size = sizeof a;
  auto n = Retry([&] {
    return ::recvfrom(s, buffer, static_cast<size_t>(length), flags, reinterpret_cast<sockaddr*>(&a), &size);
  });
  if (n < 0) return Fail();
  if (from != nullptr) *from = FromSockAddr(a);
  return static_cast<int>(n);
}

int sendto(TSocket s, const void* buffer, int length, int flags, const SocketAddress& to) {
  sockaddr_in a = ToSockAddr(to);
  auto n = Retry([&] {
    return ::sendto(s, buffer, static_cast<size_t>(length), flags | MSG_NOSIGNAL,
                    reinterpret_cast<sockaddr*>(&a), sizeof a);
  });
  return n < 0 ? Fail() : static_cast<int>(n);
}

int select(int, SocketSet* readSet, SocketSet* writeSet, SocketSet* exceptSet, const TimeVal* timeout) {
  std::vector<pollfd> fds;
  AddToPoll(readSet, POLLIN, fds);
  AddToPoll(writeSet, POLLOUT, fds);
  AddToPoll(exceptSet, POLLPRI, fds);
  int ms = timeout == nullptr ? -1 : static_cast<int>(timeout->tv_sec * 1000 + timeout->tv_usec / 1000);
  // A retried wait would start its full time-out again, which is harmless for
  // the short slices the library waits in.
  if (Retry([&] { return ::poll(fds.data(), fds.size(), ms); }) < 0) return Fail();
  for (const pollfd& p : fds) {
    if ((p.revents & POLLNVAL) != 0) return FailWith(WSAENOTSOCK);
  }
  // A peer's close or reset makes a socket readable, as select reports it.
  int ready = KeepReady(readSet, POLLIN | POLLHUP | POLLERR, fds);
  ready += KeepReady(writeSet, POLLOUT | POLLHUP | POLLERR, fds);
  ready += KeepReady(exceptSet, POLLPRI, fds);
  return ready;
}

uint16_t HostToNet16(uint16_t value) { return ::htons(value); }
uint16_t NetToHost16(uint16_t value) { return ::ntohs(value); }
uint32_t HostToNet32(uint32_t value) { return ::htonl(value); }
uint32_t NetToHost32(uint32_t value) { return ::ntohl(value); }

int gethostname(char* name, int length) {
  return Succeed(::gethostname(name, static_cast<size_t>(length)));
}

int GetHostAddresses(const std::string& name, std::vector<uint32_t>& addresses) {
  addresses.clear();
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int code = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (code != 0) return StoreError(ResolverError(code));
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    uint32_t address = reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) addresses.push_back(address);
  }
  ::freeaddrinfo(found);
  return addresses.empty() ? StoreError(WSANO_DATA) : 0;
}

int GetHostNameByAddress(uint32_t address, std::string& name) {
  sockaddr_in a = ToSockAddr(SocketAddress{address, 0});
  char host[NI_MAXHOST];
  int code = ::getnameinfo(reinterpret_cast<sockaddr*>(&a), sizeof a, host, sizeof host, nullptr, 0, NI_NAMEREQD);
  if (code != 0) return StoreError(ResolverError(code));
  name = host;
  return 0;
}

int GetServicePort(const std::string& name, uint16_t& port) {
  servent entry{};
  servent* found = nullptr;
  char buffer[4096];
  if (::getservbyname_r(name.c_str(), nullptr, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) {
    return StoreError(WSANO_DATA);
  }
  port = ::ntohs(static_cast<uint16_t>(found->s_port));
  return 0;
}

int GetServiceNames(uint16_t port, std::vector<std::string>& names) {
  servent entry{};
  servent* found = nullptr;
  char buffer[4096];
  if (::getservbyport_r(::htons(port), nullptr, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) {
    return StoreError(WSANO_DATA);
  }
  names.emplace_back(found->s_name);
  for (char** alias = found->s_aliases; *alias != nullptr; ++alias) names.emplace_back(*alias);
  return 0;
}

}  // namespace lark::winsock
