#!/usr/bin/env bash
# Installs the Debian packages that are not installed yet from the lists in
# scripts/packages.d (one package a line, "#" starts a comment). Each subsystem
# keeps its own list there; build.txt holds what the browser itself needs to
# build and run, the other lists what the tests and benchmarks need.
#   scripts/install-deps.sh              every list
#   scripts/install-deps.sh build bench  only the lists named (without .txt)
# Quick when everything is already present.
#
# Several lists hold servers (nginx, squid, vsftpd, the CUPS daemon...) that
# the tests and benchmarks start themselves on loopback with their own
# configurations. Debian would start them at once and enable them at boot,
# listening on the network. They are installed without being started, and any
# service this run enables is disabled again; services enabled before are left
# as they were.
set -euo pipefail
cd "$(dirname "$0")/.."

lists=()
if [[ $# -eq 0 ]]; then
  lists=(scripts/packages.d/*.txt)
else
  for name in "$@"; do
    [[ -f scripts/packages.d/$name.txt ]] || { echo "install-deps.sh: no list scripts/packages.d/$name.txt" >&2; exit 2; }
    lists+=("scripts/packages.d/$name.txt")
  done
fi

wanted=$(sed -e 's/#.*//' "${lists[@]}" | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
missing=()
for pkg in $wanted; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"

# Links that make a service start at boot: systemd's and System V's.
enabled_links() {
  find /etc/systemd/system -mindepth 2 -maxdepth 2 -type l \( -path '*.wants/*' -o -path '*.requires/*' \) \
    2>/dev/null | sort
  find /etc/rc[S2-5].d -maxdepth 1 -type l -name 'S*' 2>/dev/null | sort
}

# While apt runs, invoke-rc.d asks /usr/sbin/policy-rc.d whether it may start
# a service; 101 means no. An existing policy is put back afterwards.
policy=/usr/sbin/policy-rc.d
saved_policy=""
refuse_starts() {
  if [[ -e $policy ]]; then
    saved_policy=$(mktemp)
    $sudo cp -p "$policy" "$saved_policy"
  fi
  printf '#!/bin/sh\n# Written by Larkspan scripts/install-deps.sh for the duration of one install.\nexit 101\n' |
    $sudo tee "$policy" > /dev/null
  $sudo chmod 755 "$policy"
}
restore_policy() {
  if [[ -n $saved_policy ]]; then
    $sudo cp -p "$saved_policy" "$policy"
    $sudo rm -f "$saved_policy"
  else
    $sudo rm -f "$policy"
  fi
}

# Disables each unit or init script that a new link enables. Timers and
# targets are left: they start no server of their own.
disable_new_services() {
  local before=$1 link name disabled=()
  while read -r link; do
    [[ -n $link ]] || continue
    name=$(basename "$link")
    case $link in
      /etc/systemd/*)
        case $name in *.service | *.socket | *.path) ;; *) continue ;; esac
        $sudo deb-systemd-helper disable "$name" > /dev/null 2>&1 || $sudo rm -f "$link"
        ;;
      *)
        name=${name#S[0-9][0-9]}
        $sudo update-rc.d "$name" disable > /dev/null 2>&1 || $sudo rm -f "$link"
        ;;
    esac
    disabled+=("$name")
  done < <(comm -13 "$before" <(enabled_links))
  if [[ ${#disabled[@]} -gt 0 ]]; then
    echo "Not started and not enabled at boot (the tests start their own instances):" \
      "$(printf '%s\n' "${disabled[@]}" | sort -u | tr '\n' ' ')"
  fi
}

echo "Installing ${#missing[@]} packages: ${missing[*]}"
before=$(mktemp)
enabled_links > "$before"
refuse_starts
trap 'restore_policy; rm -f "$before"' EXIT
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
disable_new_services "$before"
