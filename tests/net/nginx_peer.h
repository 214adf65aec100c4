#pragma once

// nginx serving a directory of static files on a loopback port, plainly or,
// with a certificate, over TLS.

#include <cstdint>
#include <memory>
#include <string>

#include "tests/net/net_test_support.h"

namespace lark::test {

class NginxPeer {
 public:
  NginxPeer();
  // Serves https with this certificate and key (PEM file paths); files under
  // ssi/ then pass through nginx's include filter, which sends them chunked.
  NginxPeer(const std::string& cert, const std::string& key);
  [[nodiscard]] bool Started() const { return process_ && process_->Started(); }
  [[nodiscard]] std::string Error() const { return process_ ? process_->Error() : "not started"; }
  // Files are written before Start; folders on the way are made.
  void WriteFile(const std::string& name, const std::string& content) const;
  // A file of size bytes whose byte i is PatternByte(i), written in blocks.
  void WritePatternFile(const std::string& name, std::int64_t size) const;
  void Start();
  [[nodiscard]] std::string Url(const std::string& path) const {
    return (cert_.empty() ? "http" : "https") + std::string("://127.0.0.1:") + std::to_string(port_) + path;
  }
  [[nodiscard]] const std::string& Root() const { return root_; }
  [[nodiscard]] int Port() const { return port_; }

  // More directives, set before Start: inside the server block, and inside
  // the http block (more server blocks, a types table).
  std::string ServerConfig;
  std::string HttpConfig;

 private:
  TempDir dir_;
  std::string root_;
  std::string cert_, key_;
  int port_;
  std::unique_ptr<PeerProcess> process_;
};

// The byte at offset i of a pattern file; it changes with the offset so that
// a misplaced or lost block shows.
[[nodiscard]] char PatternByte(std::int64_t i);

}  // namespace lark::test
