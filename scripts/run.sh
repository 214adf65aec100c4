#!/usr/bin/env bash
# Installs what the browser needs (never the test peers, which are servers),
# builds it, and starts it on its bundled start page; arguments are passed on
# (another "/home=" among them wins over the start page).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
  echo "run.sh: no display: set DISPLAY or WAYLAND_DISPLAY to the screen the browser should open on." >&2
  exit 1
fi
scripts/install-deps.sh build
dir=$(scripts/build.sh --program | tail -n 1)
bin=$dir/bin
exec "$bin/larkspan" "/home=$(cd "$bin" && pwd)/start.html" "$@"
