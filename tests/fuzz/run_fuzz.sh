#!/usr/bin/env bash
# Runs one libFuzzer target for a while from its seed corpus, and says how much it ran.
#
#   run_fuzz.sh <fuzzer> <seed corpus> <work folder> <seconds> [libFuzzer options...]
#
# The inputs it finds go to <work folder>/corpus, for the next run to start from; an input that
# breaks the target goes to <work folder>/artifacts and fails the run. Once its fault is fixed,
# that input joins the seed corpus for good, and `make test` replays it from then on.
set -euo pipefail

fuzzer=$1 seeds=$2 work=$3 seconds=$4
shift 4
mkdir -p "$work/corpus" "$work/artifacts"
log=$work/fuzz.log

status=0
"$fuzzer" "$@" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "$seeds" >"$log" 2>&1 || status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
echo "$(basename "$fuzzer"): ${runs:-no} executions in $seconds s," \
     "$(find "$work/corpus" -type f | wc -l) inputs found beside $(find "$seeds" -type f | wc -l) seeds"
if [ "$status" -ne 0 ]; then
    tail -n 80 "$log"
    for input in "$work"/artifacts/*; do
        [ -f "$input" ] || continue
        echo "input $input:"
        od -A d -c "$input" | head -n 20
    done
    echo "FAIL: $(basename "$fuzzer") broke (status $status); fix the fault, then keep the input in $seeds"
    exit 1
fi
