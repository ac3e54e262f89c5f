#!/usr/bin/env bash
# Starts the shell's demo program, because the game itself is not playable yet: in a window
# under X (DISPLAY set), otherwise headless for 90 frames, writing a screenshot every 30 frames
# to build/screens/. The platform settings of README.md ("Platform settings") apply.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "Cobblebrooks is not playable yet: the engine is being built area by area (see README.md)."
echo "Running the shell's demo program instead (fills, a gradient, lines and a turning sprite drawn"
echo "through the engine's GL back buffer; a touch leaves a white square)."
demo=build/release/shell/cobble_demo
if [ ! -x "$demo" ]; then
  echo "run: $demo is missing; build it with 'make build'" >&2
  exit 1
fi
if [ -n "${DISPLAY:-}" ] && [ "${COBBLE_DISPLAY:-auto}" != headless ]; then
  echo "Window: left button = first finger, right button = second, Esc or closing the window quits."
  exec "$demo"
fi
mkdir -p build/screens
COBBLE_DISPLAY=headless \
COBBLE_CLOCK="${COBBLE_CLOCK:-virtual}" \
COBBLE_FRAMES="${COBBLE_FRAMES:-90}" \
COBBLE_SCRIPT="${COBBLE_SCRIPT:-shell/demo/headless.script}" \
COBBLE_DUMP_DIR="${COBBLE_DUMP_DIR:-build/screens}" \
COBBLE_DUMP_EVERY="${COBBLE_DUMP_EVERY:-30}" \
  "$demo"
echo "Screenshots written to ${COBBLE_DUMP_DIR:-build/screens}/"
