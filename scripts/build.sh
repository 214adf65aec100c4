#!/usr/bin/env bash
# Configures and builds one build directory; prints its name last (the build
# log goes to standard error).
#   scripts/build.sh             -> build/ (GCC, optimised with debug info)
#   scripts/build.sh --sanitize  -> build-sanitize/ (clang-14, ASan + UBSan, fuzz targets)
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1:-} == --sanitize ]]; then
  dir=build-sanitize
  args=(-DCMAKE_BUILD_TYPE=Debug -DLARK_SANITIZE=ON
        -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
else
  dir=build
  args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
fi
[[ -f $dir/build.ninja ]] || cmake -S . -B "$dir" -G Ninja "${args[@]}" >&2
cmake --build "$dir" --parallel "$(nproc)" >&2
echo "$dir"
