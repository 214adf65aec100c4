#!/usr/bin/env bash
# Configures and builds one build directory; prints its name last (the build
# log goes to standard error).
#   scripts/build.sh             -> build/ (GCC, optimised with debug info)
#   scripts/build.sh --sanitize  -> build-sanitize/ (clang-14, ASan + UBSan, fuzz targets)
#   scripts/build.sh --tsan      -> build-tsan/ (clang-14, ThreadSanitizer; network tests only)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1:-} == --sanitize ]]; then
  dir=build-sanitize
  args=(-DCMAKE_BUILD_TYPE=Debug -DLARK_SANITIZE=ON
        -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
elif [[ ${1:-} == --tsan ]]; then
  dir=build-tsan
  args=(-DCMAKE_BUILD_TYPE=Debug -DLARK_TSAN=ON -DLARK_BENCH=OFF
        -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
  targets=(--target test_net test_net_tls test_net_ftp)
else
  dir=build
  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
[[ -f $dir/build.ninja ]] || cmake -S . -B "$dir" -G Ninja "${args[@]}" >&2
cmake --build "$dir" --parallel "$(nproc)" ${targets[@]+"${targets[@]}"} >&2
echo "$dir"
