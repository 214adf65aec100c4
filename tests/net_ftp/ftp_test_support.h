#pragma once

// FTP servers for the tests: vsftpd (anonymous, passive and active) and a
// pyftpdlib fixture scripted for odd replies.

#include <memory>
#include <string>

#include "tests/net/net_test_support.h"

namespace lark::test {

class FtpPeer {
 public:
  [[nodiscard]] bool Started() const { return process_ && process_->Started(); }
  [[nodiscard]] std::string Error() const { return process_ ? process_->Error() : "not started"; }
  [[nodiscard]] int Port() const { return port_; }
  // Files are written before Start, under the served root.
  void WriteFile(const std::string& path, const std::string& content) const;
  void MakeDirectory(const std::string& path) const;
  [[nodiscard]] const std::string& Root() const { return root_; }

 protected:
  FtpPeer();
  TempDir dir_;
  std::string root_;
  int port_;
  std::unique_ptr<PeerProcess> process_;
};

// Anonymous logins answered with 230 (no password asked).
class VsftpdPeer : public FtpPeer {
 public:
  void Start();
};

// Users "plain", "nobrackets", "foreign", "badpasv", "slowpasv" and "noabor"
// (password "pw"): see ftp_fixture.py.
class OddFtpPeer : public FtpPeer {
 public:
  void Start();
};

}  // namespace lark::test
