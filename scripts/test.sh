#!/usr/bin/env bash
# Runs every test: the native unit tests of the logic, the import check of
# screendim.exe, and the end-to-end tests, which run the real executable
# under Wine on a headless Xorg server with a notification area. Installs
# what it needs first. Fails, saying why, if the X server or Wine cannot
# start: the end-to-end tests are never skipped.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$ROOT"

need_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${TRAY_PACKAGES[@]}"

echo "== native unit tests"
build_host
ctest --preset host --output-on-failure | tail -n 3
unit_ok=${PIPESTATUS[0]}

echo "== screendim.exe imports only system DLLs"
build_windows
scripts/check-imports.sh build/windows/screendim.exe
imports_ok=$?

echo "== end-to-end tests under Wine"
start_display
start_tray
ARTIFACTS="$ROOT/build/windows/e2e-artifacts"
rm -rf "$ARTIFACTS" && mkdir -p "$ARTIFACTS"
set +e
SCREENDIM_EXE=$(winpath "$ROOT/build/windows/screendim.exe") E2E_ARTIFACTS=$(winpath "$ARTIFACTS") \
  "$WINE" "$ROOT/build/windows/e2e_tests.exe" --gtest_color=no 2>&1 | tee "$ARTIFACTS/e2e.log" |
  grep -v -E '^\[ (RUN|       OK) ' 
e2e_ok=${PIPESTATUS[0]}
set -e
for bmp in "$ARTIFACTS"/*.bmp; do
  [ -e "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done

stop_display
trap - EXIT

# A short soak: start/close cycles, paired starts, drags and toggles, stray
# messages, and a display that refuses gamma ramps.
echo "== soak (short)"
set +e
scripts/soak.sh --short
soak_ok=$?
set -e

passed=$(grep -c '^\[       OK \]' "$ARTIFACTS/e2e.log" || true)
failed=$(grep -c '^\[  FAILED  \] .*\(.*ms\)$' "$ARTIFACTS/e2e.log" || true)
echo "screenshots: $ARTIFACTS"
echo "e2e: $passed passed, $failed failed"
[ "$unit_ok" -eq 0 ] && [ "$imports_ok" -eq 0 ] && [ "$e2e_ok" -eq 0 ] && [ "$soak_ok" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
