#!/usr/bin/env bash
# The CI extras: unit tests under AddressSanitizer + UndefinedBehaviorSanitizer, and a short smoke
# run of every libFuzzer target seeded from samples/ and its seeds in fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh

# Seconds per fuzz target; CI runs every target, so keep the sum of them a few minutes.
FUZZ_SECONDS=${FUZZ_SECONDS:-20}
# Seconds of the random operator, the whole desktop program under random actions.
OPERATOR_SECONDS=${OPERATOR_SECONDS:-120}

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVEK_SANITIZE=ON -DORVEK_BENCH=OFF -DORVEK_WERROR=ON
cmake --build build/asan -j"$(nproc)"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build/asan --output-on-failure -j"$(nproc)"

bash tools/random-operator.sh "$OPERATOR_SECONDS" 1

source tools/fuzz-common.sh
fuzz_build
for target in $(fuzz_targets); do
  name=$(basename "$target")
  corpus=build/fuzz/corpus-$name
  fuzz_seed_corpus "$name" "$corpus"
  echo "fuzzing $name for ${FUZZ_SECONDS}s"
  "$target" -max_total_time="$FUZZ_SECONDS" -max_len=80000 -timeout=10 "$corpus" 2>&1 | tail -n 3
done
