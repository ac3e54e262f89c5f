#!/usr/bin/env bash
# Splits the CPU time of a scripted headless run's frames by the code that spent it: the game's
# own program and libraries, the GL driver (Mesa's shared objects and the code llvmpipe compiles
# at run time, "[JIT]") and the kernel. It runs the program twice under perf, ending after FROM and
# after TO frames, and prints each object's samples in the difference as milliseconds per frame.
#
#   scripts/frame-profile.sh [build dir] [scene] [from] [to]
#
# The scene's input script is the one game_frame_bench writes (run `make bench`, or that program,
# once first): <build dir>/bench-frames/<scene>/run.script. Needs perf (Debian: linux-perf).
set -euo pipefail
export LC_ALL=C
build=${1:-build/bench}
scene=${2:-start_menu}
from=${3:-300}
to=${4:-600}
work="$build/bench-frames/$scene"
[ -f "$work/run.script" ] || { echo "frame-profile: $work/run.script: run game_frame_bench first" >&2; exit 1; }
command -v perf >/dev/null || { echo "frame-profile: perf is not installed" >&2; exit 1; }
program=$(realpath "$build/cobblebrooks")
rate=1000
for frames in "$from" "$to"; do
  rm -rf "$work/profile_saves_$frames" && mkdir -p "$work/profile_saves_$frames"
  (cd "$work" && env COBBLE_DISPLAY=headless COBBLE_DISPLAY_SIZE=768x1280 COBBLE_CLOCK=virtual COBBLE_SOUND=null \
      COBBLE_FRAMES="$frames" COBBLE_SCRIPT=run.script COBBLE_SAVE_DIR="profile_saves_$frames" \
      perf record -q -F "$rate" -o "profile_$frames.data" "$program" >/dev/null 2>&1)
  # Samples per object; the code llvmpipe compiles is one object whatever thread ran it.
  perf report -i "$work/profile_$frames.data" --no-children --sort dso -F sample,dso 2>/dev/null |
    grep -v '^#' | grep -v '^$' | sed -E 's/\[JIT\] tid [0-9]+/[JIT]/' |
    awk '{n = $1; $1 = ""; sub(/^ /, ""); a[$0] += n} END {for (k in a) print k "\t" a[k]}' |
    sort >"$work/profile_$frames.txt"
done
echo "CPU per frame over frames $from..$to of '$scene' (perf at $rate Hz, every thread):"
join -t $'\t' -a 2 -e 0 -o 0,1.2,2.2 "$work/profile_$from.txt" "$work/profile_$to.txt" |
  awk -F '\t' -v frames=$((to - from)) -v rate=$rate \
    '{ms = ($3 - $2) * 1000 / rate / frames; if (ms > 0.005) printf "%8.2f ms  %s\n", ms, $1; total += ms}
     END {printf "%8.2f ms  total (%.2f of the 33.3 ms budget)\n", total, total / 33.333}' | sort -rn
