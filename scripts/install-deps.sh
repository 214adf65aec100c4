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
if [[ $(id -u) -ne 0 ]]; then
  # A minimal Debian has no sudo; without this check every step below would
  # fail with "sudo: command not found" and the missing packages go unnamed.
  command -v sudo > /dev/null || {
    echo "install-deps.sh: missing packages: ${missing[*]}; run as root, or install sudo, to install them." >&2
    exit 1
  }
  sudo="sudo"
fi

# Services that start at boot, by name: systemd units linked from a .wants or
# .requires folder, and System V scripts with a start link ("init.d:NAME").
# Names, not links, are compared, as an install may renumber the links.
enabled_services() {
  {
    find /etc/systemd/system -mindepth 2 -maxdepth 2 -type l \( -path '*.wants/*' -o -path '*.requires/*' \) \
      -printf '%f\n' 2>/dev/null
    # Daemons start in runlevels 2-5; rcS only sets the machine up at boot
    # (sysctl settings, the X socket folder...) and is left alone.
    find /etc/rc[2-5].d -maxdepth 1 -type l -name 'S*' -printf '%f\n' 2>/dev/null | sed 's/^S[0-9]*/init.d:/'
  } | sort -u
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

# Disables each service that the install enabled. Timers and targets start
# no server of their own and are left, and so are the units of systemd itself
# (a console login, for one) where the install brought systemd in.
disable_new_services() {
  local before=$1 name unit disabled=()
  while read -r name; do
    case $name in
      init.d:*)
        $sudo update-rc.d "${name#init.d:}" disable > /dev/null 2>&1 ||
          { echo "warning: could not disable ${name#init.d:} at boot" >&2; continue; }
        ;;
      *.service | *.socket | *.path)
        unit=$(find /etc/systemd/system -mindepth 2 -maxdepth 2 -name "$name" -type l | head -n 1)
        # Gone already: disabling a service also disables the units it names
        # with Also= (cups.service takes cups.socket and cups.path along).
        if [[ -n $unit ]]; then
          [[ $(dpkg-query -S "$(readlink "$unit")" 2>/dev/null) == systemd:* ]] && continue
          # systemctl edits the links without a running systemd (a chroot, a
          # container); deb-systemd-helper works only from a package's scripts.
          # Without systemctl the links do nothing until systemd comes, and
          # removing them is all that disabling does.
          if command -v systemctl > /dev/null; then
            $sudo systemctl disable --quiet "$name" > /dev/null 2>&1 || true
          else
            $sudo find /etc/systemd/system -mindepth 2 -maxdepth 2 -name "$name" -type l -delete
          fi
          [[ -z $(find /etc/systemd/system -mindepth 2 -maxdepth 2 -name "$name" -type l) ]] ||
            { echo "warning: could not disable $name at boot" >&2; continue; }
        fi
        ;;
      *) continue ;;
    esac
    disabled+=("$name")
  done < <(comm -13 "$before" <(enabled_services))
  if [[ ${#disabled[@]} -gt 0 ]]; then
    echo "Installed without starting them or enabling them at boot (the tests start their own):" \
      "$(printf '%s\n' "${disabled[@]}" | sed 's/^init.d://; s/\.service$//' | sort -u | tr '\n' ' ')"
  fi
}

echo "Installing ${#missing[@]} packages: ${missing[*]}"
before=$(mktemp)
enabled_services > "$before"
refuse_starts
# Also when apt fails part way: packages it configured before failing may
# have enabled their services already.
trap 'disable_new_services "$before"; restore_policy; rm -f "$before"' EXIT
# Through env, as sudo resets the environment: apt then asks no questions.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
