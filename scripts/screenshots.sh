#!/usr/bin/env bash
# Takes the pictures of the browser's windows shown in the documents
# (docs/screenshots/*.png): the real main window on its bundled start page and
# the dialogs listed as scenes in app/screenshots/take_screenshots.cpp.
#   scripts/screenshots.sh [build dir]   (default build/, made by scripts/build.sh)
# Off screen by default, so no display is needed and the pictures do not
# depend on the desktop's theme; QT_QPA_PLATFORM=xcb with DISPLAY set takes
# them on that screen instead. The dialogs that show a transfer or ask for a
# password are taken on app/screenshots/scene_server.py, run on loopback for
# the while.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=${1:-build}
if [[ ! -f $dir/build.ninja ]]; then
  dir=$(scripts/build.sh --program | tail -n 1)
fi
cmake --build "$dir" --target take_screenshots lark_program_files >&2
mkdir -p docs/screenshots
coproc server { exec python3 app/screenshots/scene_server.py; }
trap 'kill "$server_PID"' EXIT
read -r port <&"${server[0]}"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$dir/bin/take_screenshots" "$(pwd)/docs/screenshots" \
  "http://127.0.0.1:$port"
