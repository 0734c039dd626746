#!/usr/bin/env bash
# The long fuzz run: every libFuzzer target in turn (one process each, so the machine keeps a core
# for others) for SECONDS, then one line per target with its execution count and outcome. The
# working corpora stay in build/fuzz/long-corpus-<target> and grow from run to run; a finding is
# saved under build/fuzz/findings/<target>/.
# Usage: tools/fuzz-long.sh SECONDS [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/fuzz-common.sh

SECONDS_PER_TARGET=${1:?usage: tools/fuzz-long.sh SECONDS [target...]}
shift
fuzz_build >/dev/null

if [ "$#" -gt 0 ]; then
  targets=("${@/#/build/fuzz/fuzz/}")
else
  mapfile -t targets < <(fuzz_targets)
fi

summary=()
status=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus=build/fuzz/long-corpus-$name
  findings=build/fuzz/findings/$name
  log=build/fuzz/long-$name.log
  fuzz_seed_corpus "$name" "$corpus"
  mkdir -p "$findings"
  echo "fuzzing $name for ${SECONDS_PER_TARGET}s (log: $log)"
  outcome=clean
  if ! "$target" -max_total_time="$SECONDS_PER_TARGET" -max_len=80000 -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1; then
    outcome="FINDING (see $log and $findings/)"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  summary+=("$name: ${runs:-?} executions in ${took:-?} s, $outcome")
done
printf '%s\n' "${summary[@]}"
exit "$status"
