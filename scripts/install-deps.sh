#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/packages.d/*.txt that are not
# installed yet. Each subsystem keeps its own list there (one package a line,
# "#" starts a comment). Quick when everything is already present.
set -euo pipefail
cd "$(dirname "$0")/.."

wanted=$(sed -e 's/#.*//' scripts/packages.d/*.txt | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
missing=()
for pkg in $wanted; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
