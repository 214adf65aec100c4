#!/usr/bin/env bash
# A large download from nginx through the main window's download dialog
# beside curl -o: 1 GiB (64 MiB with LARK_BENCH_QUICK=1) to a file on the
# same disk. Ours is timed from WMDownload to its return (save dialog and
# replace question answered, the dialog's progress and the rename
# included), curl by the same program's wall-clock wrapper, start included.
# A third row gives the peak memory of the same window downloading nothing.
# Usage: bench/app_download/run_download_bench.sh [BUILD_DIR]   (default build-bench/)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build-bench}
program=$build/bin/bench_download
[[ -x $program ]] || { echo "build $program first (scripts/build.sh --bench)"; exit 1; }
source bench/common/harness.sh
source bench/common/nginx.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/lark-download-bench-XXXXXX")
chmod 755 "$work"
port=$(free_port)
mkdir -p "$work/www" "$work/out"
head -c "$(transfer_bytes)" /dev/urandom > "$work/www/file.bin"
chmod -R a+rX "$work/www"
start_nginx "$work" "    listen 127.0.0.1:$port;"
trap 'kill $nginx_pid; wait $nginx_pid 2>/dev/null || true; rm -rf "$work"' EXIT
url="http://127.0.0.1:$port/file.bin"
wait_for "$url"

compare --work "$(transfer_words) from nginx to a file" --figure seconds \
  --ours "download dialog" "$program dialog $url $work/out/ours.bin" \
  --peer "curl -o" "$program wall curl -sS --fail --http1.1 -o $work/out/curl.bin $url"
cmp "$work/out/ours.bin" "$work/www/file.bin"
compare --work "the same window, idle" --figure seconds --ours "idle window" "$program idle"
print_table
