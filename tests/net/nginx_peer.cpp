#include "tests/net/nginx_peer.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace lark::test {

NginxPeer::NginxPeer() : root_(dir_.Path() + "/www"), port_(FreePort()) {
  // The workers run as nobody and must reach the files.
  chmod(dir_.Path().c_str(), 0755);
  mkdir(root_.c_str(), 0755);
  mkdir((dir_.Path() + "/tmp").c_str(), 0777);
}

NginxPeer::NginxPeer(const std::string& cert, const std::string& key) : NginxPeer() {
  cert_ = cert;
  key_ = key;
}

void NginxPeer::WriteFile(const std::string& name, const std::string& content) const {
  std::string path = root_ + "/" + name;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  chmod(std::filesystem::path(path).parent_path().c_str(), 0755);
  std::ofstream(path, std::ios::binary) << content;
  chmod(path.c_str(), 0644);
}

void NginxPeer::WritePatternFile(const std::string& name, std::int64_t size) const {
  std::string path = root_ + "/" + name;
  std::ofstream out(path, std::ios::binary);
  std::string block(1 << 20, '\0');
  for (std::int64_t at = 0; at < size; at += static_cast<std::int64_t>(block.size())) {
    std::int64_t n = std::min<std::int64_t>(size - at, static_cast<std::int64_t>(block.size()));
    for (std::int64_t i = 0; i < n; ++i) block[static_cast<size_t>(i)] = PatternByte(at + i);
    out.write(block.data(), n);
  }
  out.close();
  chmod(path.c_str(), 0644);
}

void NginxPeer::Start() {
  const std::string& d = dir_.Path();
  std::string server = "    listen 127.0.0.1:" + std::to_string(port_);
  if (cert_.empty()) {
    server += ";\n";
  } else {
    server += " ssl;\n    ssl_certificate " + cert_ + ";\n    ssl_certificate_key " + key_ +
              ";\n    location /ssi/ { ssi on; }\n";
  }
  dir_.Write("nginx.conf", "worker_processes 1;\npid " + d + "/nginx.pid;\nerror_log " + d +
                               "/error.log;\nevents { worker_connections 256; }\nhttp {\n  access_log off;\n"
                               "  client_body_temp_path " + d + "/tmp;\n  proxy_temp_path " + d +
                               "/tmp;\n  fastcgi_temp_path " + d + "/tmp;\n  uwsgi_temp_path " + d +
                               "/tmp;\n  scgi_temp_path " + d + "/tmp;\n  keepalive_requests 100000;\n" +
                               HttpConfig + "  server {\n" + server + "    root " + root_ + ";\n" + ServerConfig + "  }\n}\n");
  process_ = std::make_unique<PeerProcess>(
      std::vector<std::string>{"nginx", "-p", d, "-c", d + "/nginx.conf", "-g", "daemon off;"}, "nginx", port_, d);
}

char PatternByte(std::int64_t i) { return static_cast<char>((i * 31 + i / 4099) & 0xFF); }

}  // namespace lark::test
