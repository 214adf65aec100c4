#!/usr/bin/env bash
# The harness's arithmetic and its refusal to report a failed run, on
# contenders whose times are known: ours reports 0.2 s and the peer 0.4 s or
# 0.6 s in turn, so the per-round ratios are 2 and 3 and their median 2.5.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
check() { grep -qF -- "$2" <<< "$1" || { echo "expected \"$2\" in: $1"; status=1; }; }

# The peer's time comes from a counter file, so successive runs differ; the
# first run is the unrecorded warm-up.
printf '#!/bin/sh\nn=$(cat %s/n 2>/dev/null || echo 0); echo $((n + 1)) > %s/n\n' "$scratch" "$scratch" > "$scratch/peer"
printf 'case $n in 1) echo 0.4 ;; *) echo 0.6 ;; esac\n' >> "$scratch/peer"
row=$(python3 "$here/alternate.py" run --results "$scratch/rows" --work "known times" --rounds 2 --core 0 \
  --figure seconds --ours ours "echo 0.2" --peer peer "sh $scratch/peer")
check "$row" "| known times | ours 200.00 ms"
check "$row" "| 2.50 | 2.00-3.00 | 2 |"
check "$(python3 "$here/alternate.py" table "$scratch/rows")" "| work | ours"

if output=$(python3 "$here/alternate.py" run --results "$scratch/rows" --work "fails" --rounds 2 --core 0 \
  --figure seconds --ours ours "sh -c 'echo broken; exit 3'" 2>&1); then
  echo "a failing contender was reported: $output"
  status=1
else
  check "$output" "failed (exit 3)"
  check "$output" "broken"
fi
exit $status
