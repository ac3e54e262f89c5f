#!/usr/bin/env bash
# Starts the game, build/release/cobblebrooks, with its resource pak beside it: in a window under
# X (DISPLAY set and an X server answering), otherwise headless on the virtual clock, where it
# takes the stroll of scripts/stroll.script (the start menu and its dialogs, the play screen, a
# yard, the farm shop and its coin tab, the yard's quests) and of scripts/stroll_boosts.script
# (the boosts, after a rank-up given by cobblebrooks_stroll_rankup), writes the
# screenshots named there to build/screens/, lists them and ends. A headless run keeps its saves
# in a throwaway folder unless COBBLE_SAVE_DIR says otherwise; a window run keeps them in the
# user's data folder. The platform settings of README.md ("Platform settings") apply;
# COBBLE_GAME_BIN names another program to run (the tests use it).
set -euo pipefail
cd "$(dirname "$0")/.."
game=${COBBLE_GAME_BIN:-build/release/cobblebrooks}
if [ ! -x "$game" ]; then
  echo "run: $game is missing; build it with 'make build'" >&2
  exit 1
fi

# Asks Xlib itself, as the program will: a DISPLAY left over from a closed session names no server.
x_server_answers() {
  python3 - <<'PY' 2>/dev/null
import ctypes, sys
xlib = ctypes.CDLL("libX11.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = xlib.XOpenDisplay(None)
if not display:
    sys.exit(1)
xlib.XCloseDisplay(display)
PY
}

if [ -n "${DISPLAY:-}" ] && [ "${COBBLE_DISPLAY:-auto}" != headless ]; then
  if x_server_answers; then
    echo "Window: the left button is the first finger, the right button a second one; Esc is the back key"
    echo "(it leaves from the start menu); F2 pauses, F3/F4/F5 hide and show the window, F6 turns it."
    exec "$game"
  fi
  echo "run: no X server answers on DISPLAY=$DISPLAY; running headless instead" >&2
fi

script=${COBBLE_SCRIPT:-scripts/stroll.script}
# The stroll's second leg: the same player again after the first rank-up a round would give her
# (the stroll plays no round), which opens the boosts. Only with the stroll of its own, and only
# when the first leg went to its end.
second=""
rankup="$(dirname "$game")/cobblebrooks_stroll_rankup"
if [ -z "${COBBLE_SCRIPT:-}" ] && [ -x "$rankup" ]; then
  second=scripts/stroll_boosts.script
fi
shots=${COBBLE_DUMP_DIR:-build/screens}
mkdir -p "$shots"
# The screenshots the scripts name, in their order; last run's are removed first.
dumps_of() { sed -e 's/#.*//' "$1" | awk '$2 == "dump" { print $3 }'; }
mapfile -t names < <(dumps_of "$script")
mapfile -t later < <([ -n "$second" ] && dumps_of "$second")
for name in "${names[@]}" "${later[@]}"; do rm -f "$shots/$name"; done

saves=${COBBLE_SAVE_DIR:-}
throwaway=""
if [ -z "$saves" ]; then
  throwaway=$(mktemp -d "${TMPDIR:-/tmp}/cobblebrooks-saves.XXXXXX")
  saves=$throwaway
fi

# The frame limit only guards a stroll that goes astray; the stroll itself ends the game.
stroll() {
  COBBLE_DISPLAY=headless \
  COBBLE_CLOCK="${COBBLE_CLOCK:-virtual}" \
  COBBLE_FRAMES="${COBBLE_FRAMES:-3000}" \
  COBBLE_SCRIPT="$1" \
  COBBLE_DUMP_DIR="$shots" \
  COBBLE_SAVE_DIR="$saves" \
    "$game"
}
status=0
stroll "$script" || status=$?
last=""
[ "${#names[@]}" -gt 0 ] && last=${names[${#names[@]}-1]}
if [ "$status" -eq 0 ] && [ -n "$second" ] && [ -n "$last" ] && [ -f "$shots/$last" ]; then
  "$rankup" "$saves" && { stroll "$second" || status=$?; } || status=$?
  names+=("${later[@]}")
fi
[ -n "$throwaway" ] && rm -rf "$throwaway"

echo "Headless stroll through the game; its screenshots:"
for name in "${names[@]}"; do
  [ -f "$shots/$name" ] && echo "  $shots/$name"
done
exit "$status"
