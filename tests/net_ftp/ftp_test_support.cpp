#include "tests/net_ftp/ftp_test_support.h"

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

namespace lark::test {

FtpPeer::FtpPeer() : root_(dir_.Path() + "/root"), port_(FreePort()) {
  // The servers drop to an unprivileged user, who must reach the files but
  // (vsftpd insists) not write to the root.
  chmod(dir_.Path().c_str(), 0755);
  mkdir(root_.c_str(), 0755);
}

void FtpPeer::WriteFile(const std::string& path, const std::string& content) const {
  std::string full = root_ + "/" + path;
  std::ofstream(full, std::ios::binary) << content;
  chmod(full.c_str(), 0644);
}

void FtpPeer::MakeDirectory(const std::string& path) const { mkdir((root_ + "/" + path).c_str(), 0755); }

void VsftpdPeer::Start() {
  std::filesystem::create_directories("/var/run/vsftpd/empty");
  int passivePort = FreePort();
  dir_.Write("vsftpd.conf", "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" + std::to_string(port_) +
                                "\nbackground=NO\nanonymous_enable=YES\nno_anon_password=YES\nanon_root=" + root_ +
                                "\nlocal_enable=NO\npasv_min_port=" + std::to_string(passivePort) +
                                "\npasv_max_port=" + std::to_string(passivePort) +
                                "\nconnect_from_port_20=NO\nseccomp_sandbox=NO\n"
                                "secure_chroot_dir=/var/run/vsftpd/empty\nxferlog_enable=NO\n");
  process_ = std::make_unique<PeerProcess>(std::vector<std::string>{"vsftpd", dir_.Path() + "/vsftpd.conf"}, "vsftpd",
                                           port_, dir_.Path());
}

void OddFtpPeer::Start() {
  process_ = std::make_unique<PeerProcess>(
      std::vector<std::string>{"/usr/bin/python3", std::string(LARK_FTP_FIXTURES) + "/ftp_fixture.py",
                               std::to_string(port_), root_},
      "python3-pyftpdlib", port_, dir_.Path());
}

}  // namespace lark::test
