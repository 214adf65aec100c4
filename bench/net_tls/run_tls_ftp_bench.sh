#!/usr/bin/env bash
# Loopback TLS and FTP benchmark beside curl:
#   1. a 1 GiB https download from nginx (64 MiB with LARK_BENCH_QUICK=1);
#      both clients verify the server against the same test CA and use the
#      same TLS 1.3 suite, the only one nginx offers;
#   2. a 1 GiB passive FTP RETR from vsftpd;
#   3. the CPU time of a 2 s wait for an active-mode data connection.
# Both clients write the bodies to /dev/null and time themselves; each runs
# as its own process, without a shell, pinned as bench/common/harness.sh says.
# Usage: bench/net_tls/run_tls_ftp_bench.sh [BUILD_DIR]   (default build-bench/)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-bench}
program=$build/bin/bench_tls_ftp
[[ -x $program ]] || { echo "build $program first (scripts/build.sh --bench)"; exit 1; }
suite=TLS_AES_256_GCM_SHA384
source bench/common/harness.sh
source bench/common/nginx.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/lark-tls-bench-XXXXXX")
chmod 755 "$work"
https_port=$(free_port); ftp_port=$(free_port); pasv_port=$(free_port)
mkdir -p "$work/www" "$work/tmp"
bytes=$(transfer_bytes)
head -c "$bytes" /dev/urandom > "$work/www/big.bin"
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
${LARK_BENCH_SERVER_CORE:+taskset -c "$LARK_BENCH_SERVER_CORE"} vsftpd "$work/vsftpd.conf" &
vsftpd_pid=$!
# A server ended by the signal makes wait fail; the folder goes all the same.
trap 'kill $nginx_pid $vsftpd_pid; wait $nginx_pid $vsftpd_pid 2>/dev/null || true; rm -rf "$work"' EXIT
wait_for --cacert "$work/ca.pem" "https://localhost:$https_port/"
wait_for "ftp://127.0.0.1:$ftp_port/"

url="https://localhost:$https_port/big.bin"
read -r _ _ cipher < <("$program" https "$url" "$work/ca.pem" "$bytes")
[[ $cipher == "$suite" ]] || { echo "ours negotiated $cipher, not $suite"; exit 1; }
compare --work "$(transfer_words) https download from nginx, $suite, verified" --figure seconds \
  --ours TNetHTTP+OpenSSL "$program https $url $work/ca.pem $bytes" \
  --peer curl "curl -sS --fail --http1.1 --cacert $work/ca.pem --tls13-ciphers $suite -o /dev/null -w '%{time_total}\n' $url"

compare --work "$(transfer_words) passive FTP RETR from vsftpd" --figure seconds \
  --ours TNetFTP "$program ftp 127.0.0.1 $ftp_port big.bin $bytes" \
  --peer curl "curl -sS --fail -o /dev/null -w '%{time_total}\n' ftp://127.0.0.1:$ftp_port/big.bin"

compare --work "CPU time of a 2 s wait for an active-mode data connection" --figure seconds \
  --ours TNetSimpleServer "$program accept-wait 2000"
print_table
