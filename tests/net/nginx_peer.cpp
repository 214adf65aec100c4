#include "tests/net/nginx_peer.h"

#include <sys/stat.h>

#include <fstream>

namespace lark::test {

NginxPeer::NginxPeer() : root_(dir_.Path() + "/www"), port_(FreePort()) {
  // The workers run as nobody and must reach the files.
  chmod(dir_.Path().c_str(), 0755);
  mkdir(root_.c_str(), 0755);
  mkdir((dir_.Path() + "/tmp").c_str(), 0777);
}

void NginxPeer::WriteFile(const std::string& name, const std::string& content) const {
  std::string path = root_ + "/" + name;
  std::ofstream(path, std::ios::binary) << content;
  chmod(path.c_str(), 0644);
}

void NginxPeer::Start() {
  const std::string& d = dir_.Path();
  dir_.Write("nginx.conf", "worker_processes 1;\npid " + d + "/nginx.pid;\nerror_log " + d +
                               "/error.log;\nevents { worker_connections 256; }\nhttp {\n  access_log off;\n"
                               "  client_body_temp_path " + d + "/tmp;\n  proxy_temp_path " + d +
                               "/tmp;\n  fastcgi_temp_path " + d + "/tmp;\n  uwsgi_temp_path " + d +
                               "/tmp;\n  scgi_temp_path " + d + "/tmp;\n  keepalive_requests 100000;\n"
                               "  server {\n    listen 127.0.0.1:" + std::to_string(port_) + ";\n    root " +
                               root_ + ";\n  }\n}\n");
  process_ = std::make_unique<PeerProcess>(
      std::vector<std::string>{"nginx", "-p", d, "-c", d + "/nginx.conf", "-g", "daemon off;"}, "nginx", port_, d);
}

}  // namespace lark::test
