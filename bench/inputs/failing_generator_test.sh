#!/usr/bin/env bash
# make_inputs.sh must stop, naming the generator, both when a generator fails
# and when it claims success but makes too few files: a benchmark on a partial
# set of inputs would report a figure for work it did not do.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/bin"
status=0

# expect_failure EXIT_OF_CONVERT SET PATTERN: runs the set's generator with an
# ImageMagick that only exits, and checks the error.
expect_failure() {
  printf '#!/bin/sh\nexit %s\n' "$1" > "$scratch/bin/convert"
  chmod +x "$scratch/bin/convert"
  local message
  if message=$(LARK_BENCH_DIR=$scratch/inputs PATH=$scratch/bin:$PATH bash "$here/make_inputs.sh" "$2" 2>&1); then
    echo "make_inputs.sh $2 succeeded with a convert that exits $1"
    status=1
  elif ! grep -q "$3" <<< "$message"; then
    echo "make_inputs.sh $2 said: $message"
    status=1
  fi
}
expect_failure 1 gif 'generator make_gifs.sh failed'
expect_failure 0 png 'generator make_corpus.sh made 0 of 20 files'
exit $status
