#!/usr/bin/env bash
# Runs only the end-to-end tests, on a fresh headless X server and Wine
# prefix, passing its arguments to the test program (e.g.
# --gtest_filter=Slider*). Builds nothing: run scripts/test.sh once first.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$ROOT"
start_display
start_tray
ARTIFACTS="$ROOT/build/windows/e2e-artifacts"; mkdir -p "$ARTIFACTS"
SCREENDIM_EXE=$(winpath "$ROOT/build/windows/screendim.exe") E2E_ARTIFACTS=$(winpath "$ARTIFACTS") \
  "$WINE" "$ROOT/build/windows/e2e_tests.exe" --gtest_color=no "$@"
