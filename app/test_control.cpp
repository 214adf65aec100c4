#include "app/test_control.h"

#include <cstdlib>

#ifdef LARK_TEST_CONTROL_BUILT

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "app/test_control_commands.h"
#include "platform/core/private_temp_dir.h"
#include "platform/core/synchronize.h"

namespace lark {
namespace {

// A command line longer than this is refused (the rest of it up to its line
// end is dropped); no command needs more.
constexpr std::size_t kMaxCommandLine = 4096;
// "idle" waits at most this long, whatever the test asks for.
constexpr int kMaxIdleWaitMs = 60000;
constexpr int kDefaultIdleWaitMs = 5000;
// The queue must be found empty this many times in a row, this far apart.
constexpr int kQuietPolls = 2;
constexpr int kQuietPollMs = 20;
constexpr int kSendTimeoutS = 5;

std::string Refusal() { return "error line longer than " + std::to_string(kMaxCommandLine) + " bytes"; }

void Complain(const std::string& why) { std::fprintf(stderr, "larkspan: test control: %s\n", why.c_str()); }

// The socket lies in the private folder (mode 0700): a bare name is put
// there; a path must already point into it.
std::string SocketPathFor(const std::string& name, std::string& why) {
  const std::string folder = PrivateTempDirectory();
  if (folder.empty()) {
    why = "no private temporary folder";
    return {};
  }
  const std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return folder + name;
  if (name.substr(0, slash + 1) != folder || slash + 1 == name.size()) {
    why = "the socket must lie in " + folder;
    return {};
  }
  return name;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
  address = sockaddr_un{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

bool IsSocket(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// Whether a program listens there (a full queue of waiting connections
// counts: never blocks).
bool Answers(const sockaddr_un& address) {
  const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (probe < 0) return false;
  const bool live = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || errno == EAGAIN;
  ::close(probe);
  return live;
}

class TSocketTestControl final : public TTestControl {
 public:
  explicit TSocketTestControl(std::string path) : path_(std::move(path)) {}
  ~TSocketTestControl() override;

  bool Listen(std::string& why);
  [[nodiscard]] const std::string& SocketPath() const override { return path_; }

 private:
  void Serve();
  void ServeClient(int client);
  bool Send(int client, const std::string& reply);
  bool WaitReadable(int fd);
  std::string Reply(const std::string& line);
  std::string WaitForIdle(const std::string& argument);
  bool OnGuiThread(const std::function<void()>& call);

  std::string path_;
  int listener_ = -1;
  int wake_[2] = {-1, -1};
  bool bound_ = false;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> served_{false};
  std::thread worker_;
  TTestControlCommands commands_;
  SyncTarget life_;
};

bool TSocketTestControl::Listen(std::string& why) {
  // A socket left by an earlier run is replaced; nothing else is. One that
  // a running instance listens on stays: a window that instance opened (a
  // new process with the same environment) listens beside it, at the name
  // followed by "-<pid>".
  sockaddr_un address{};
  if (IsSocket(path_) && FillAddress(path_, address) && Answers(address)) path_ += "-" + std::to_string(::getpid());
  if (!FillAddress(path_, address)) {
    why = "socket path too long: " + path_;
    return false;
  }
  if (IsSocket(path_)) ::unlink(path_.c_str());
  listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  bound_ = listener_ >= 0 && ::pipe2(wake_, O_CLOEXEC) == 0 &&
           ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  if (!bound_ || ::chmod(path_.c_str(), 0600) != 0 || ::listen(listener_, 1) != 0) {
    why = path_ + ": " + std::strerror(errno);
    return false;
  }
  worker_ = std::thread([this] { Serve(); });
  return true;
}

// The worker may be waiting for the GUI thread (a synchronized command), so
// the queue is drained while it stops.
TSocketTestControl::~TSocketTestControl() {
  stopping_ = true;
  if (wake_[1] >= 0) (void)::write(wake_[1], "x", 1);
  if (worker_.joinable()) {
    while (!served_) {
      CheckSynchronize();
      WaitForSynchronize(10);
    }
    worker_.join();
  }
  for (int fd : {listener_, wake_[0], wake_[1]})
    if (fd >= 0) ::close(fd);
  if (bound_) ::unlink(path_.c_str());
}

bool TSocketTestControl::WaitReadable(int fd) {
  pollfd waits[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
  while (!stopping_) {
    const int ready = ::poll(waits, 2, -1);
    if (ready < 0 && errno != EINTR) return false;
    if (ready > 0) return !stopping_ && waits[0].revents != 0;
  }
  return false;
}

void TSocketTestControl::Serve() {
  // One test at a time; the next connects when it has gone.
  while (WaitReadable(listener_)) {
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    // A test that stops reading must not hold the worker (and so the
    // program's exit) in a send.
    const timeval sendLimit{kSendTimeoutS, 0};
    ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    ServeClient(client);
    ::close(client);
  }
  served_ = true;
  NotifySynchronizeWaiters();
}

void TSocketTestControl::ServeClient(int client) {
  std::string pending;
  bool overlong = false;
  char chunk[4096];
  while (WaitReadable(client)) {
    const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    pending.append(chunk, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      std::string line = pending.substr(0, end);
      pending.erase(0, end + 1);
      if (overlong) {
        // The end of a line already refused.
        overlong = false;
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!Send(client, line.size() > kMaxCommandLine ? Refusal() : Reply(line))) return;
    }
    if (pending.size() > kMaxCommandLine) {
      // Refused before its end arrives; the rest of it is dropped.
      if (!overlong && !Send(client, Refusal())) return;
      overlong = true;
      pending.clear();
    }
  }
}

bool TSocketTestControl::Send(int client, const std::string& reply) {
  const std::string line = reply + "\n";
  for (std::size_t sent = 0; sent < line.size();) {
    const ssize_t n = ::send(client, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool TSocketTestControl::OnGuiThread(const std::function<void()>& call) {
  if (stopping_) return false;
  bool ran = false;
  Synchronize(
      [&] {
        call();
        ran = true;
      },
      life_.Token());
  return ran;
}

std::string TSocketTestControl::Reply(const std::string& line) {
  if (line.empty()) return "error empty line";
  if (line == "idle" || line.rfind("idle ", 0) == 0) return WaitForIdle(line.size() > 5 ? line.substr(5) : "");
  std::string reply = "error the program is closing";
  OnGuiThread([&] { reply = commands_.Execute(line); });
  return reply;
}

// Waiting happens here, off the GUI thread, which only answers whether it
// is quiet now.
std::string TSocketTestControl::WaitForIdle(const std::string& argument) {
  int limitMs = kDefaultIdleWaitMs;
  if (!argument.empty()) {
    char* end = nullptr;
    const long asked = std::strtol(argument.c_str(), &end, 10);
    if (*end != '\0' || asked < 0) return "error usage: idle [<milliseconds>]";
    limitMs = static_cast<int>(std::min<long>(asked, kMaxIdleWaitMs));
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  for (int quietInARow = 0;;) {
    bool quiet = false;
    if (!OnGuiThread([&] { quiet = commands_.Quiet(); })) return "error the program is closing";
    quietInARow = quiet ? quietInARow + 1 : 0;
    if (quietInARow >= kQuietPolls) return "ok";
    if (std::chrono::steady_clock::now() >= deadline) return "error still busy after " + std::to_string(limitMs) + " ms";
    std::this_thread::sleep_for(std::chrono::milliseconds(kQuietPollMs));
  }
}

}  // namespace

std::unique_ptr<TTestControl> StartTestControl(const std::string& socketName) {
  std::string why;
  const std::string path = SocketPathFor(socketName, why);
  if (path.empty()) {
    Complain(why);
    return nullptr;
  }
  auto control = std::make_unique<TSocketTestControl>(path);
  if (!control->Listen(why)) {
    Complain(why);
    return nullptr;
  }
  return control;
}

bool TestControlBuilt() { return true; }

}  // namespace lark

#else

namespace lark {

std::unique_ptr<TTestControl> StartTestControl(const std::string&) { return nullptr; }
bool TestControlBuilt() { return false; }

}  // namespace lark

#endif

namespace lark {

std::unique_ptr<TTestControl> StartTestControlFromEnvironment() {
  const char* name = std::getenv("LARK_TEST_CONTROL");
  if (!name || !*name) return nullptr;
  return StartTestControl(name);
}

}  // namespace lark
