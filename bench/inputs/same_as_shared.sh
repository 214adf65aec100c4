#!/usr/bin/env bash
# The peers' figures were taken on the inputs of the shared generators; ours
# must make the same bytes, so each of our generators must be the same file as
# its shared original. Skipped (77) where the shared folder is not beside the
# clone.
#   same_as_shared.sh SHARED_BENCH_INPUTS_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
shared=$1
[[ -d $shared ]] || { echo "no $shared beside this clone: nothing to compare"; exit 77; }
status=0
for generator in gen_html.py gen_tree.py make_corpus.sh make_gifs.sh first_paint.c green.html; do
  ours=$(sha256sum < "$here/$generator")
  theirs=$(sha256sum < "$shared/$generator")
  if [[ $ours != "$theirs" ]]; then
    echo "bench/inputs/$generator differs from $shared/$generator"
    status=1
  fi
done
exit $status
