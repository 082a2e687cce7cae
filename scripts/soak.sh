#!/usr/bin/env bash
# Runs screendim.exe under load and abuse for a bounded number of cycles and
# checks every one (see tests/soak/soak.cpp): start/close through the close
# button, the tray menu and WM_CLOSE; copies started together; drags and
# tray toggles; stray messages; and, on an X server without gamma (Xvfb),
# start, answer and close. --short runs a few cycles of each, for
# scripts/test.sh. Prints one line per cycle kind and "N passed, N failed".
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$ROOT"

args=()
for a in "$@"; do
  case "$a" in
    --short) args+=(--short) ;;
    *) die "usage: scripts/soak.sh [--short]" ;;
  esac
done

need_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${TRAY_PACKAGES[@]}" xvfb
build_windows
SOAK="$ROOT/build/windows/soak.exe"
export SCREENDIM_EXE
SCREENDIM_EXE=$(winpath "$ROOT/build/windows/screendim.exe")

set +e
echo "== on Xorg with gamma and a notification area"
start_display
start_tray
"$WINE" "$SOAK" "${args[@]}" | tr -d '\r' | tee "$WORK/soak.log"
gamma_ok=${PIPESTATUS[0]}

# The same prefix, on an X server that refuses gamma ramps. The Wine
# server goes first, so that Wine's desktop process starts again on Xvfb.
echo "== on Xvfb, which refuses gamma ramps"
wineserver -k >/dev/null 2>&1
n=$((${DISPLAY#:} + 1))
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
trap 'kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null; stop_display' EXIT
for _ in $(seq 100); do DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=":$n" "$WINE" "$SOAK" --refusing-ramp "${args[@]}" | tr -d '\r' | tee -a "$WORK/soak.log"
xvfb_ok=${PIPESTATUS[0]}
DISPLAY=":$n" wineserver -k >/dev/null 2>&1

passed=$(awk '/^[0-9]+ passed, [0-9]+ failed$/{p += $1} END{print p + 0}' "$WORK/soak.log")
failed=$(awk '/^[0-9]+ passed, [0-9]+ failed$/{f += $3} END{print f + 0}' "$WORK/soak.log")
echo "soak: $passed passed, $failed failed"
[ "$gamma_ok" -eq 0 ] && [ "$xvfb_ok" -eq 0 ] && [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
