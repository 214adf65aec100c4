#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh             plain build and tests
#   scripts/test.sh --sanitize  ASan/UBSan build, its tests, then each fuzz target
#                               for LARK_FUZZ_SECONDS (default 20) seconds
#   scripts/test.sh --tsan      ThreadSanitizer build of the network tests, and those tests
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
dir=$(scripts/build.sh "$@" | tail -n 1)

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
if [[ ${1:-} == --tsan ]]; then
  # Only the network binaries are built there; the others are listed as not
  # built. Half the cores: each test runs real servers, and the sanitizer
  # slows every step several times over. A test that fails is run once more
  # (the deadline cases race real servers under that slowdown); ctest's log
  # keeps the first failure, so a race report is still there to read.
  ctest --test-dir "$dir" --output-on-failure --parallel "$(( ($(nproc) + 1) / 2 ))" --timeout 600 \
    --repeat until-pass:2 -E '_NOT_BUILT$'
  exit
fi
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 600

if [[ ${1:-} == --sanitize && -d $dir/fuzz ]]; then
  seconds=${LARK_FUZZ_SECONDS:-20}
  for fuzzer in "$dir"/fuzz/fuzz_*; do
    [[ -x $fuzzer ]] || continue
    name=$(basename "$fuzzer")
    corpus="$dir/fuzz-corpus/$name"
    mkdir -p "$corpus"
    seeds=$(find tests -type d -path "*/corpus/$name" | head -n 1)
    echo "Fuzzing $name for ${seconds}s"
    # Findings (crash-, leak-, slow-unit- files) go beside the log, never into the tree.
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=0 -artifact_prefix="$dir/fuzz-$name-" \
      "$corpus" ${seeds:+"$seeds"} \
      > "$dir/fuzz-$name.log" 2>&1 || { tail -n 60 "$dir/fuzz-$name.log"; exit 1; }
  done
  echo "Fuzz targets ran without a finding."
fi
