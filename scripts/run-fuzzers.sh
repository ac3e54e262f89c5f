#!/usr/bin/env bash
# Runs every libFuzzer binary in $1 for $2 seconds each. Each target grows its own corpus under
# the build tree (<build>/fuzz-corpus/<name>/), kept from run to run; the committed seeds in
# fuzz/corpus/<name>/ are read alongside and never rewritten. An input that runs longer than
# FUZZ_HANG_SECONDS (default 5) is reported as a hang. Crashes, leaks and hangs are written to
# <build>/fuzz-artifacts/. Every target runs; the script fails if any of them found something.
set -uo pipefail
bin_dir=$1
seconds=${2:-20}
hang=${FUZZ_HANG_SECONDS:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$bin_dir/.." && pwd)
shopt -s nullglob
targets=("$bin_dir"/*)
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no targets built"; exit 0; }
mkdir -p "$build/fuzz-artifacts"
summary=()
failed=0
for t in "${targets[@]}"; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  grown="$build/fuzz-corpus/$name"
  mkdir -p "$grown"
  dirs=("$grown")
  [ -d "$root/fuzz/corpus/$name" ] && dirs+=("$root/fuzz/corpus/$name")
  log="$build/fuzz-artifacts/$name.log"
  echo "fuzz: $name for ${seconds}s (corpus $grown)"
  "$t" -max_total_time="$seconds" -timeout="$hang" -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/fuzz-artifacts/$name-" "${dirs[@]}" >"$log" 2>&1
  status=$?
  tail -n 12 "$log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  units=$(find "$grown" -type f | wc -l)
  if [ $status -eq 0 ]; then
    summary+=("$(printf '%-28s %12s runs  %6s corpus files  clean' "$name" "${runs:-?}" "$units")")
  else
    failed=1
    summary+=("$(printf '%-28s %12s runs  %6s corpus files  FAILED (see %s)' "$name" "${runs:-?}" "$units" "$log")")
  fi
done
echo "fuzz: summary (${seconds}s per target, hang timeout ${hang}s)"
printf '  %s\n' "${summary[@]}"
exit $failed
