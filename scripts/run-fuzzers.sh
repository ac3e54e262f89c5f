#!/usr/bin/env bash
# Runs every libFuzzer binary in $1 for $2 seconds each, starting from its seed corpus
# (fuzz/corpus/<name>/, copied so the committed seeds are never rewritten).
set -euo pipefail
bin_dir=$1
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
targets=("$bin_dir"/*)
[ ${#targets[@]} -gt 0 ] || { echo "fuzz: no targets built"; exit 0; }
for t in "${targets[@]}"; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  [ -d "$root/fuzz/corpus/$name" ] && cp -r "$root/fuzz/corpus/$name/." "$work/"
  echo "fuzz: $name for ${seconds}s"
  "$t" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 "$work" 2>&1 | tail -n 12
  rm -rf "$work"
  trap - EXIT
done
