#pragma once

// A Winsock 1.1-shaped socket interface over POSIX sockets. The network
// library was written against Winsock's calls and error numbers, so this layer
// keeps their shape and reports every failure as a WSA error number through
// WSAGetLastError. The Linux traps are handled here once for all callers:
// SIGPIPE is ignored and sends use MSG_NOSIGNAL, waits use poll (with
// Winsock's 64-socket set size kept), EINTR is retried and never reported, and
// names resolve through getaddrinfo, which many threads may call at once.

#include <cstdint>
#include <string>
#include <vector>

namespace lark::winsock {

using TSocket = int;
constexpr TSocket INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;

// Values as Winsock defines them, under names that do not collide with the C
// library's macros; the binding translates them.
constexpr int AfInet = 2;
constexpr int SockStream = 1;
constexpr int SockDgram = 2;
constexpr int IpProtoTcp = 6;
constexpr int TcpNoDelay = 1;
constexpr int SolSocket = 0xffff;
constexpr int SoReuseAddr = 0x0004;
constexpr int SoKeepAlive = 0x0008;
constexpr int SoSndBuf = 0x1001;
constexpr int SoRcvBuf = 0x1002;
constexpr int SoSndTimeo = 0x1005;  // milliseconds, as a 4-byte integer
constexpr int SoRcvTimeo = 0x1006;
constexpr int SoError = 0x1007;
constexpr int SdReceive = 0;
constexpr int SdSend = 1;
constexpr int SdBoth = 2;
constexpr long FionBio = 0x8004667EL;
constexpr long FionRead = 0x4004667FL;

// Winsock error numbers.
constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAEALREADY = 10037;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

// Winsock's socket set: a count and an array, at most 64 sockets.
constexpr unsigned kSocketSetSize = 64;
struct SocketSet {
  unsigned fd_count = 0;
  TSocket fd_array[kSocketSetSize] = {};
};
void SetAdd(TSocket s, SocketSet& set);  // ignored when the set is full
[[nodiscard]] bool SetContains(TSocket s, const SocketSet& set);

struct TimeVal {
  long tv_sec = 0;
  long tv_usec = 0;
};

// IPv4 address in network byte order with its port, as sockaddr_in holds them.
struct SocketAddress {
  uint32_t address = 0;
  uint16_t port = 0;
};

struct WSAData {
  uint16_t wVersion = 0;
  uint16_t wHighVersion = 0;
  std::string szDescription;
  std::string szSystemStatus;
  unsigned iMaxSockets = 0;
  unsigned iMaxUdpDg = 0;
};

int WSAStartup(uint16_t versionRequested, WSAData& data);
int WSACleanup();
[[nodiscard]] int WSAGetLastError();
void WSASetLastError(int error);

TSocket socket(int family, int type, int protocol);
int closesocket(TSocket s);
int shutdown(TSocket s, int how);
int bind(TSocket s, const SocketAddress& address);
int connect(TSocket s, const SocketAddress& address);
int listen(TSocket s, int backlog);
TSocket accept(TSocket s, SocketAddress* peer);
int getpeername(TSocket s, SocketAddress& address);
int getsockname(TSocket s, SocketAddress& address);
int setsockopt(TSocket s, int level, int option, const void* value, int length);
int getsockopt(TSocket s, int level, int option, void* value, int* length);
int ioctlsocket(TSocket s, long command, unsigned long* argument);
int recv(TSocket s, void* buffer, int length, int flags);
int send(TSocket s, const void* buffer, int length, int flags);
int recvfrom(TSocket s, void* buffer, int length, int flags, SocketAddress* from);
int sendto(TSocket s, const void* buffer, int length, int flags, const SocketAddress& to);
// nullptr timeout waits without limit; answers the number of ready sockets
// and leaves only those in the sets.
int select(int nfds, SocketSet* readSet, SocketSet* writeSet, SocketSet* exceptSet,
           const TimeVal* timeout);

// Byte-order conversions (htons and friends are macros in the C library).
uint16_t HostToNet16(uint16_t value);
uint16_t NetToHost16(uint16_t value);
uint32_t HostToNet32(uint32_t value);
uint32_t NetToHost32(uint32_t value);

int gethostname(char* name, int length);
// Thread-safe look-ups (getaddrinfo and friends). Each answers 0 or a WSA
// error number, which is also stored for WSAGetLastError.
int GetHostAddresses(const std::string& name, std::vector<uint32_t>& addresses);
int GetHostNameByAddress(uint32_t address, std::string& name);
int GetServicePort(const std::string& name, uint16_t& port);  // port in host order
int GetServiceNames(uint16_t port, std::vector<std::string>& names);

}  // namespace lark::winsock
