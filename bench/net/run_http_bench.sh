#!/usr/bin/env bash
# Loopback HTTP benchmark beside curl, against nginx:
#   1. a 1 GiB download: throughput and peak memory of each client;
#   2. 1,000 sequential GETs of a 1 KiB file, a new connection each: median
#      and p99 latency of each client (curl as one process fetching them all).
# Usage: bench/net/run_http_bench.sh [BUILD_DIR]   (default build/)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
program=$build/bin/bench_http_get
[[ -x $program ]] || { echo "build $program first (cmake --build $build --target bench_http_get)"; exit 1; }

work=$(mktemp -d /tmp/lark-http-bench-XXXXXX)
chmod 755 "$work"
source bench/common/nginx.sh
port=$(free_port)
mkdir -p "$work/www" "$work/tmp"
head -c 1073741824 /dev/zero | tr '\0' 'x' > "$work/www/big.bin"
head -c 1024 /dev/urandom > "$work/www/small.bin"
chmod -R a+rX "$work/www"
start_nginx "$work" "    listen 127.0.0.1:$port;"
trap 'kill $nginx_pid; wait $nginx_pid 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$port/small.bin" && break; sleep 0.05; done

big="http://127.0.0.1:$port/big.bin"
small="http://127.0.0.1:$port/small.bin"
peak() { grep 'Maximum resident' "$1" | awk '{print $NF}'; }

echo "== 1 GiB download (3 runs each, best)"
best_ours=999; best_curl=999
for _ in 1 2 3; do
  /usr/bin/time -v "$program" download "$big" > "$work/ours.out" 2> "$work/ours.time"
  t=$(awk '{print $2}' "$work/ours.out")
  best_ours=$(echo "$t $best_ours" | awk '{print ($1<$2)?$1:$2}')
  /usr/bin/time -v curl -s -o /dev/null -w '%{time_total}\n' "$big" > "$work/curl.out" 2> "$work/curl.time"
  t=$(cat "$work/curl.out")
  best_curl=$(echo "$t $best_curl" | awk '{print ($1<$2)?$1:$2}')
done
awk -v o="$best_ours" -v c="$best_curl" -v mo="$(peak "$work/ours.time")" -v mc="$(peak "$work/curl.time")" 'BEGIN {
  printf "ours: %.3f s  %.0f MiB/s  peak RSS %d KiB\n", o, 1024/o, mo
  printf "curl: %.3f s  %.0f MiB/s  peak RSS %d KiB\n", c, 1024/c, mc
  printf "throughput ratio ours/curl: %.2f\n", c/o }'

echo "== 1,000 sequential GETs of 1 KiB, a new connection each"
"$program" many "$small" 1000 > "$work/ours.lat"
: > "$work/curl.cfg"
for _ in $(seq 1000); do printf 'url = "%s"\noutput = "/dev/null"\n' "$small" >> "$work/curl.cfg"; done
curl -s -H 'Connection: close' -w '%{time_total}\n' -K "$work/curl.cfg" > "$work/curl.lat"
stats() { sort -n "$1" | awk '{a[NR]=$1} END {printf "median %.3f ms  p99 %.3f ms", a[int(NR/2)+1]*1000, a[int(NR*0.99)]*1000}'; }
echo "ours: $(stats "$work/ours.lat")"
echo "curl: $(stats "$work/curl.lat")"
