#!/usr/bin/env bash
# Runs every fuzz target for a while (make fuzz): each grows its own corpus in fuzz-out/<target>/
# from the seeds in fuzz/corpus/<target>/, and keeps any input that breaks a check or crashes as
# fuzz-out/<target>/crash-*. Prints the inputs tried per target; fails if any target failed.
# Usage: fuzz.sh <fuzz build folder> <seconds per target> [target ...]
set -uo pipefail
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")/.." && pwd)
targets=("$@")
# Every target the build made, unless some are named.
if [ "${#targets[@]}" -eq 0 ]; then
  for program in "$build"/fuzz/fuzz_*; do
    [ -f "$program" ] && [ -x "$program" ] && targets+=("${program##*/fuzz_}")
  done
fi
[ "${#targets[@]}" -gt 0 ] || { echo "trotix fuzz: no fuzz targets in $build/fuzz" >&2; exit 1; }

failed=0
summary=()
for target in "${targets[@]}"; do
  out="$here/fuzz-out/$target"
  mkdir -p "$out/corpus"
  echo "trotix fuzz: $target for ${seconds}s (corpus in fuzz-out/$target/corpus)"
  log="$out/last-run.log"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$out/" \
    "$out/corpus" "$here/fuzz/corpus/$target" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  summary+=("$(printf '%-12s %12s inputs  %s' "$target" "${runs:-?}" "$([ $status -eq 0 ] && echo ok || echo "FAILED, see $log")")")
  [ $status -eq 0 ] || failed=1
done
echo "trotix fuzz: inputs tried per target in ${seconds}s:"
printf '  %s\n' "${summary[@]}"
exit $failed
