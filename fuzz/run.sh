#!/usr/bin/env bash
# Builds the fuzz targets with clang in their own folder and runs each for SECONDS (default 30).
#   fuzz/run.sh SOURCE_DIR BUILD_DIR [SECONDS] [TARGET-REGEX]
set -euo pipefail
src=$1 build=$2 seconds=${3:-30} only=${4:-.}
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRE_FUZZ=ON -DRE_BENCHMARKS=OFF \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DFUZZ_SECONDS="$seconds" >/dev/null
targets=$(sed -n 's/^set(FUZZ_TARGETS \(.*\))/\1/p' "$src/fuzz/CMakeLists.txt")
cmake --build "$build" -j "${JOBS:-2}" --target $(for t in $targets; do printf 'fuzz_%s ' "$t"; done)
cd "$build" && ctest --output-on-failure -L fuzz -R "$only"
