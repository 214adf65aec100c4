#!/usr/bin/env bash
# Installs what is missing, builds, and starts the browser on its bundled start page.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
dir=$(scripts/build.sh | tail -n 1)
if [[ ! -x $dir/bin/larkspan ]]; then
  echo "The browser program is not built yet; the libraries and tests are."
  exit 0
fi
exec "$dir/bin/larkspan" "$@"
