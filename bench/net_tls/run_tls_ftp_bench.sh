#!/usr/bin/env bash
# Loopback TLS and FTP benchmark beside curl:
#   1. a 1 GiB https download from nginx, ours and `curl -k`, both held to
#      the same TLS 1.3 suite (nginx offers only that one);
#   2. a 1 GiB passive FTP RETR from vsftpd, ours and `curl ftp://`;
#   3. the CPU time of a 2 s wait for an active-mode data connection.
# Usage: bench/net_tls/run_tls_ftp_bench.sh [BUILD_DIR]   (default build/)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
program=$build/bin/bench_tls_ftp
[[ -x $program ]] || { echo "build $program first (cmake --build $build --target bench_tls_ftp)"; exit 1; }
suite=TLS_AES_256_GCM_SHA384

work=$(mktemp -d /tmp/lark-tls-bench-XXXXXX)
chmod 755 "$work"
source bench/common/nginx.sh
https_port=$(free_port); ftp_port=$(free_port); pasv_port=$(free_port)
mkdir -p "$work/www" "$work/tmp"
head -c 1073741824 /dev/urandom > "$work/www/big.bin"
chmod -R a+rX "$work/www"
( cd "$work"
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -keyout ca.key -out ca.pem \
    -subj '/CN=Bench CA' 2>/dev/null
  openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout leaf.key -out leaf.csr \
    -subj /CN=localhost 2>/dev/null
  echo 'subjectAltName=DNS:localhost,IP:127.0.0.1' > leaf.ext
  openssl x509 -req -days 2 -CA ca.pem -CAkey ca.key -CAcreateserial -in leaf.csr -out leaf.pem -extfile leaf.ext \
    2>/dev/null
  chmod 644 leaf.key )
start_nginx "$work" "    listen 127.0.0.1:$https_port ssl;
    ssl_certificate $work/leaf.pem;
    ssl_certificate_key $work/leaf.key;
    ssl_protocols TLSv1.3;
    ssl_conf_command Ciphersuites $suite;"
mkdir -p /var/run/vsftpd/empty
cat > "$work/vsftpd.conf" <<CONF
listen=YES
listen_address=127.0.0.1
listen_port=$ftp_port
background=NO
anonymous_enable=YES
no_anon_password=YES
anon_root=$work/www
local_enable=NO
pasv_min_port=$pasv_port
pasv_max_port=$pasv_port
connect_from_port_20=NO
seccomp_sandbox=NO
secure_chroot_dir=/var/run/vsftpd/empty
xferlog_enable=NO
CONF
vsftpd "$work/vsftpd.conf" &
vsftpd_pid=$!
trap 'kill $nginx_pid $vsftpd_pid; wait $nginx_pid $vsftpd_pid 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do curl -sk -o /dev/null "https://127.0.0.1:$https_port/" && break; sleep 0.05; done
for _ in $(seq 100); do curl -s -o /dev/null "ftp://127.0.0.1:$ftp_port/" && break; sleep 0.05; done

best() { echo "$1 $2" | awk '{print ($1<$2)?$1:$2}'; }
report() {
  awk -v o="$1" -v c="$2" 'BEGIN {
    printf "ours: %.3f s  %.0f MiB/s\ncurl: %.3f s  %.0f MiB/s\nthroughput ratio ours/curl: %.2f\n",
           o, 1024/o, c, 1024/c, c/o }'
}

echo "== 1 GiB https download (3 runs each, best)"
ours=999; theirs=999
for _ in 1 2 3; do
  read -r bytes t cipher < <("$program" https "https://localhost:$https_port/big.bin" "$work/ca.pem")
  [[ $bytes == 1073741824 ]] || { echo "ours fetched $bytes bytes"; exit 1; }
  ours=$(best "$t" "$ours")
  t=$(curl -sk --tls13-ciphers "$suite" -o /dev/null -w '%{time_total}' "https://localhost:$https_port/big.bin")
  theirs=$(best "$t" "$theirs")
done
echo "suite: ours $cipher, curl $suite"
report "$ours" "$theirs"

echo "== 1 GiB FTP RETR, passive (3 runs each, best)"
ours=999; theirs=999
for _ in 1 2 3; do
  read -r bytes t < <("$program" ftp 127.0.0.1 "$ftp_port" big.bin)
  [[ $bytes == 1073741824 ]] || { echo "ours fetched $bytes bytes"; exit 1; }
  ours=$(best "$t" "$ours")
  t=$(curl -s -o /dev/null -w '%{time_total}' "ftp://127.0.0.1:$ftp_port/big.bin")
  theirs=$(best "$t" "$theirs")
done
report "$ours" "$theirs"

echo "== waiting 2 s for an active-mode data connection"
read -r outcome wall cpu < <("$program" accept-wait 2000)
echo "outcome $outcome, wall $wall s, CPU $cpu s"
