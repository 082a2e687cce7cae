#!/usr/bin/env bash
# Builds screendim.exe and runs it under Wine. With a desktop to show it on
# (DISPLAY set and answering) it dims that screen until you close it. With
# none, it brings up the same headless X server the tests use, shows the
# display's ramp before, during and after a run, saves a screenshot, and
# closes the program through its own "×" button; it succeeds only when the
# ramp was dimmed and then restored bit for bit.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$ROOT"

need_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
build_windows
EXE="$ROOT/build/windows/screendim.exe"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export WINEDEBUG=-all
  echo "screendim runs on $DISPLAY; close it with its × button or the tray menu"
  exec "$WINE" "$EXE"
fi

echo "no desktop: starting a headless X server"
start_display
probe() { "$WINE" "$ROOT/build/windows/ramp_probe.exe" "$@"; }

echo "ramp before start:"
probe "$(winpath "$WORK/before.txt")"
"$WINE" "$EXE" &
PROGRAM=$!

# The window is centred: 314 wide, 110 high as laid out, 90 once started.
read -r width height < <(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p')
left=$(((width - 314) / 2))
top=$(((height - 110) / 2))
for _ in $(seq 100); do
  xwininfo -root -tree | grep -q "314x90+$left+$top" && break
  sleep 0.1
done
sleep 0.5
echo "ramp while running:"
probe "$(winpath "$WORK/running.txt")"
SHOT="$ROOT/build/windows/screendim.png"
import -window root -crop "314x90+$left+$top" +repage "$SHOT"
echo "screenshot: $SHOT"

# Close it as a user would: a click on its × button (window x 272-311, y 2-29).
xdotool mousemove $((left + 291)) $((top + 15)) click 1
for _ in $(seq 100); do
  kill -0 "$PROGRAM" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$PROGRAM" 2>/dev/null; then
  kill "$PROGRAM"
  die "screendim did not close"
fi
wait "$PROGRAM" && code=0 || code=$?
echo "screendim exited with code $code"
echo "ramp after closing:"
probe "$(winpath "$WORK/after.txt")"

status=0
if cmp -s "$WORK/before.txt" "$WORK/running.txt"; then
  echo "the ramp was not dimmed while running"
  status=1
fi
if cmp -s "$WORK/before.txt" "$WORK/after.txt"; then
  echo "the ramp after closing equals the one before start, bit for bit"
else
  echo "the ramp after closing differs from the one before start"
  status=1
fi
[ "$code" -eq 0 ] || status=1
exit "$status"
