# Shell helpers for the loopback benchmarks; source this file.

# A TCP port on 127.0.0.1 that is free now.
free_port() {
  /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

# Writes WORK/nginx.conf for a server of static files from WORK/www whose
# server block holds the given lines, and starts nginx in the background
# (its pid in nginx_pid; the caller stops it), on LARK_BENCH_SERVER_CORE
# when that is set.
start_nginx() {
  local work=$1 server_lines=$2
  mkdir -p "$work/www" "$work/tmp"
  cat > "$work/nginx.conf" <<CONF
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  sendfile on;
  client_body_temp_path $work/tmp;
  proxy_temp_path $work/tmp;
  fastcgi_temp_path $work/tmp;
  uwsgi_temp_path $work/tmp;
  scgi_temp_path $work/tmp;
  server {
    root $work/www;
$server_lines
  }
}
CONF
  ${LARK_BENCH_SERVER_CORE:+taskset -c "$LARK_BENCH_SERVER_CORE"} nginx -p "$work" -c "$work/nginx.conf" -g 'daemon off;' &
  nginx_pid=$!
}
