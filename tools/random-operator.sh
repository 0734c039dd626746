#!/usr/bin/env bash
# The random operator under AddressSanitizer + UndefinedBehaviorSanitizer: the desktop program,
# offscreen, driven by random actions for SECONDS, in rounds of ROUND_ACTIONS actions with seeds
# SEED, SEED+1, ... (the program starts afresh for each, so a finding comes with a short
# sequence). A finding is shortened by delta debugging into build/random-operator/; a shortened
# sequence copied into tests/random_operator/regressions/ becomes a test.
# Usage: tools/random-operator.sh SECONDS [SEED]
# BUILD=build/asan-rel runs an optimised sanitized build instead, about four times faster.
# Exit 0 only when nothing was found; the figures are the last line.
set -euo pipefail
cd "$(dirname "$0")/.."

TOTAL=${1:?usage: tools/random-operator.sh SECONDS [SEED]}
SEED=${2:-$(( $(date +%s) % 100000 ))}
ROUND_ACTIONS=${ROUND_ACTIONS:-2000}
# Sanitized code runs several times slower than the release build.
HANG_MS=${HANG_MS:-10000}

BUILD=${BUILD:-build/asan}
if [ ! -f "$BUILD/build.ninja" ]; then
  bash tools/install-deps.sh
  type=Debug
  [ "$BUILD" = build/asan ] || type=RelWithDebInfo
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=$type -DORVEK_SANITIZE=ON -DORVEK_BENCH=OFF -DORVEK_WERROR=ON >/dev/null
fi
cmake --build "$BUILD" -j"$(nproc)" --target random_operator >/dev/null
program=$BUILD/tests/random_operator/random_operator
out=build/random-operator
mkdir -p "$out"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

start=$(date +%s)
actions=0
findings=0
seed=$SEED
while [ $(( $(date +%s) - start )) -lt "$TOTAL" ]; do
  left=$(( TOTAL - ($(date +%s) - start) ))
  log=$out/seed-$seed.seq
  set +e
  "$program" --seed "$seed" --actions "$ROUND_ACTIONS" --seconds "$left" --hang-ms "$HANG_MS" --log "$log" \
    >"$out/seed-$seed.out" 2>&1
  rc=$?
  set -e
  done_now=$(sed -n 's/^actions \([0-9]*\),.*/\1/p' "$out/seed-$seed.out" | tail -n 1)
  # A crash ends the program before its figures: its sequence counts them.
  [ -n "$done_now" ] || done_now=$(wc -l <"$log")
  actions=$(( actions + done_now ))
  if [ "$rc" -ne 0 ]; then
    findings=$(( findings + 1 ))
    echo "seed $seed: finding (exit $rc), output in $out/seed-$seed.out"
    grep -m1 -E "^FINDING|ERROR: AddressSanitizer|runtime error" "$out/seed-$seed.out" || true
    "$program" --shrink "$log" --out "$out/shortened-$seed.seq" --hang-ms "$HANG_MS" | tail -n 1 || true
    rm -f "$log"
  else
    rm -f "$log" "$out/seed-$seed.out"
  fi
  seed=$(( seed + 1 ))
done
echo "actions $actions, seconds $(( $(date +%s) - start )), findings $findings (seeds $SEED..$(( seed - 1 )))"
[ "$findings" -eq 0 ]
