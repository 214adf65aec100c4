#!/usr/bin/env bash
# Image downloads from nginx beside curl: N images of 64 KiB, 10 at a time,
# for N = 200 and 800. Ours fetches each through THTTPConnection.GetAsync (a
# worker thread and a connection per image, into memory, completions on the
# main thread); curl fetches the same URLs with --parallel --parallel-max 10
# into /dev/null. Both are timed alike, from outside, by the same wall-clock
# wrapper, start-up included.
# Usage: bench/app_fetch/run_image_bench.sh [BUILD_DIR]   (default build-bench/)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-bench}
program=$build/bin/bench_image_fetch
[[ -x $program ]] || { echo "build $program first (scripts/build.sh --bench)"; exit 1; }
source bench/common/harness.sh
source bench/common/nginx.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/lark-image-bench-XXXXXX")
chmod 755 "$work"
port=$(free_port)
mkdir -p "$work/www" "$work/tmp"
for i in $(seq 0 799); do head -c 65536 /dev/urandom > "$work/www/img$i.png"; done
chmod -R a+rX "$work/www"
start_nginx "$work" "    listen 127.0.0.1:$port;"
trap 'kill $nginx_pid; wait $nginx_pid 2>/dev/null || true; rm -rf "$work"' EXIT
base="http://127.0.0.1:$port"
wait_for "$base/img0.png"

for count in 200 800; do
  : > "$work/curl-$count.cfg"
  for i in $(seq 0 $((count - 1))); do printf 'url = "%s"\noutput = "/dev/null"\n' "$base/img$i.png" >> "$work/curl-$count.cfg"; done
  compare --work "$count images of 64 KiB from nginx, 10 at a time" --figure seconds \
    --ours "GetAsync" "$program wall $program images $base $count 10" \
    --peer "curl --parallel" "$program wall curl -sS --fail --http1.1 --parallel --parallel-max 10 -K $work/curl-$count.cfg"
done
print_table
