#!/usr/bin/env bash
# The CI extras: unit tests under AddressSanitizer + UndefinedBehaviorSanitizer, and a short smoke
# run of every libFuzzer target seeded from samples/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

FUZZ_SECONDS=${FUZZ_SECONDS:-60}

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVEK_SANITIZE=ON -DORVEK_BENCH=OFF -DORVEK_WERROR=ON
cmake --build build/asan -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build/asan --output-on-failure -j"$(nproc)"

CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEK_FUZZ=ON -DORVEK_GUI=OFF -DORVEK_BENCH=OFF -DORVEK_TESTS=OFF
cmake --build build/fuzz -j"$(nproc)"
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  corpus=build/fuzz/corpus-$(basename "$target")
  mkdir -p "$corpus"
  cp samples/*.cdd "$corpus"/ 2>/dev/null || true
  echo "fuzzing $(basename "$target") for ${FUZZ_SECONDS}s"
  "$target" -max_total_time="$FUZZ_SECONDS" -max_len=80000 -timeout=10 "$corpus" 2>&1 | tail -n 3
done
