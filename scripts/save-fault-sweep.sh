#!/usr/bin/env bash
# The whole fault sweep of the two save files, outside ctest: every file operation of an exit save
# with a round suspended and of one after a yard purchase is failed (EIO, ENOSPC, EACCES) and
# killed in turn, the program started again on what was left, and the counts printed. It runs the
# program several hundred times; COBBLE_SWEEP_JOBS runs (default 3) go at once.
# Usage: scripts/save-fault-sweep.sh [build dir, default build/release]
set -euo pipefail
build=${1:-build/release}
cmake --build "$build" --target game_program_tests cobblebrooks cobble_read_fault_shim
COBBLE_SAVE_SWEEP=full "$build/tests/game/program/game_program_tests" \
  --gtest_filter='SaveFaultSweep.EveryOperationOfBothExitSaves'
