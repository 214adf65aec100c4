#!/usr/bin/env bash
# Loopback HTTP benchmark beside curl, against nginx:
#   1. a 1 GiB download (64 MiB with LARK_BENCH_QUICK=1);
#   2. 1,000 sequential GETs of 1 KiB, a new connection each: the median
#      latency of each client (curl as one process fetching them all).
# Both clients write the bodies to /dev/null and time themselves; each runs
# as its own process, without a shell, pinned as bench/common/harness.sh says.
# Usage: bench/net/run_http_bench.sh [BUILD_DIR]   (default build-bench/)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-bench}
program=$build/bin/bench_http_get
[[ -x $program ]] || { echo "build $program first (scripts/build.sh --bench)"; exit 1; }
source bench/common/harness.sh
source bench/common/nginx.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/lark-http-bench-XXXXXX")
chmod 755 "$work"
port=$(free_port)
mkdir -p "$work/www" "$work/tmp"
bytes=$(transfer_bytes)
head -c "$bytes" /dev/zero | tr '\0' 'x' > "$work/www/big.bin"
head -c 1024 /dev/urandom > "$work/www/small.bin"
chmod -R a+rX "$work/www"
start_nginx "$work" "    listen 127.0.0.1:$port;"
trap 'kill $nginx_pid; wait $nginx_pid 2>/dev/null || true; rm -rf "$work"' EXIT
wait_for "http://127.0.0.1:$port/small.bin"

big="http://127.0.0.1:$port/big.bin"
small="http://127.0.0.1:$port/small.bin"
compare --work "$(transfer_words) http download from nginx" --figure seconds \
  --ours TNetHTTP "$program download $big $bytes" \
  --peer curl "curl -sS --fail --http1.1 -o /dev/null -w '%{time_total}\n' $big"

requests=1000
: > "$work/curl.cfg"
for _ in $(seq $requests); do printf 'url = "%s"\noutput = "/dev/null"\n' "$small" >> "$work/curl.cfg"; done
compare --work "$requests GETs of 1 KiB, new connection each: median latency" --figure median-lines \
  --ours TNetHTTP "$program many $small $requests" \
  --peer curl "curl -sS --fail --http1.1 -H 'Connection: close' -w '%{time_total}\n' -K $work/curl.cfg"
print_table
