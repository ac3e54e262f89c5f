#!/usr/bin/env bash
# Starts the game, build/release/cobblebrooks, with its resource pak beside it: in a window under
# X (DISPLAY set and an X server answering), otherwise headless for 90 frames on the virtual
# clock, writing a screenshot every 30 frames to build/screens/. The player's saves go to the
# user's data folder unless COBBLE_SAVE_DIR says otherwise. The platform settings of README.md
# ("Platform settings") apply; COBBLE_GAME_BIN names another program to run (the tests use it).
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
    echo "Window: left button = first finger, right button = second, Esc or closing the window quits."
    exec "$game"
  fi
  echo "run: no X server answers on DISPLAY=$DISPLAY; running headless instead" >&2
fi
# The frame count matches the platform's bounded run (kBoundedRunFrames in platform/Settings.h).
mkdir -p "${COBBLE_DUMP_DIR:-build/screens}"
COBBLE_DISPLAY=headless \
COBBLE_CLOCK="${COBBLE_CLOCK:-virtual}" \
COBBLE_FRAMES="${COBBLE_FRAMES:-90}" \
COBBLE_DUMP_DIR="${COBBLE_DUMP_DIR:-build/screens}" \
COBBLE_DUMP_EVERY="${COBBLE_DUMP_EVERY:-30}" \
  "$game"
echo "Screenshots written to ${COBBLE_DUMP_DIR:-build/screens}/"
