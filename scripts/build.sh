#!/usr/bin/env bash
# Configures and builds one build directory; prints its name last (the build
# log goes to standard error).
#   scripts/build.sh             -> build/ (GCC, optimised with debug info, tests and benchmarks)
#   scripts/build.sh --program   -> build/ as it is; when new, only the libraries and the program
#   scripts/build.sh --bench     -> build-bench/ (GCC, optimised with debug info, benchmarks only)
#   scripts/build.sh --sanitize  -> build-sanitize/ (clang-14, ASan + UBSan, fuzz targets)
#   scripts/build.sh --tsan      -> build-tsan/ (clang-14, ThreadSanitizer; network tests only)
set -euo pipefail
cd "$(dirname "$0")/.."

reconfigure=false
if [[ ${1:-} == --sanitize ]]; then
  dir=build-sanitize
  args=(-DCMAKE_BUILD_TYPE=Debug -DLARK_SANITIZE=ON -DLARK_TEST_CONTROL=ON
        -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
  grep -qx 'LARK_TEST_CONTROL:BOOL=ON' "$dir/CMakeCache.txt" 2>/dev/null || reconfigure=true
elif [[ ${1:-} == --program ]]; then
  # What scripts/run.sh needs; a build/ made for the tests is used as it is.
  dir=build
  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DLARK_BENCH=OFF)
elif [[ ${1:-} == --bench ]]; then
  # -O2, as Debian builds the peers the benchmarks compare with.
  dir=build-bench
  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DLARK_BENCH=ON)
elif [[ ${1:-} == --tsan ]]; then
  dir=build-tsan
  args=(-DCMAKE_BUILD_TYPE=Debug -DLARK_TSAN=ON -DLARK_BENCH=OFF
        -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
  targets=(--target test_net test_net_tls test_net_ftp)
else
  dir=build
  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DLARK_BENCH=ON -DLARK_TEST_CONTROL=ON)
  # A build/ that scripts/run.sh made has no tests yet, nor the test control.
  grep -qx 'LARK_TEST_CONTROL:BOOL=ON' "$dir/CMakeCache.txt" 2>/dev/null || reconfigure=true
fi
if [[ ! -f $dir/build.ninja ]] || $reconfigure; then
  cmake -S . -B "$dir" -G Ninja "${args[@]}" >&2
fi
cmake --build "$dir" --parallel "$(nproc)" ${targets[@]+"${targets[@]}"} >&2
echo "$dir"
