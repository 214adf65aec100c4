#!/usr/bin/env bash
# Installs what the browser needs (never the test peers, which are servers),
# builds it, and starts it on its bundled start page.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
dir=$(scripts/build.sh --program | tail -n 1)
if [[ ! -x $dir/bin/larkspan ]]; then
  echo "The browser program is not built yet; its libraries are (in $dir/)."
  exit 0
fi
exec "$dir/bin/larkspan" "$@"
