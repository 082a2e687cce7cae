# Shared by the scripts: installing what they need, building, and bringing up
# the headless X server and the Wine prefix that the program runs in.
# Sourced, not run.

set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WINE=/usr/lib/wine/wine64

die() {
  echo "error: $*" >&2
  exit 1
}

# Installs the Debian packages that are missing; says nothing when all are there.
need_packages() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  command -v apt-get >/dev/null || die "missing packages: ${missing[*]} (and no apt-get to install them)"
  [ "$(id -u)" -eq 0 ] || die "missing packages: ${missing[*]}; run as root or install them first"
  echo "installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null || die "apt-get update failed"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
    die "could not install: ${missing[*]}"
}

BUILD_PACKAGES=(cmake ninja-build g++ googletest libgtest-dev g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64)
RUN_PACKAGES=(wine64 xserver-xorg-core xserver-xorg-video-dummy x11-utils xdotool imagemagick fonts-arphic-uming)
TRAY_PACKAGES=(trayer)

build_windows() {
  cmake --preset windows >/dev/null || die "configuring the Windows build failed"
  cmake --build --preset windows >/dev/null || die "the Windows build failed (run: cmake --build --preset windows)"
}

build_host() {
  cmake --preset host >/dev/null || die "configuring the native build failed"
  cmake --build --preset host >/dev/null || die "the native build failed (run: cmake --build --preset host)"
}

# Brings up Xorg with the dummy driver on a free display, and a fresh Wine
# prefix in a temporary folder; both go when the calling script exits.
start_display() {
  WORK=$(mktemp -d /tmp/screendim.XXXXXX)
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  export DISPLAY=":$n"
  Xorg "$DISPLAY" -config "$ROOT/tests/e2e/xorg-dummy.conf" -noreset -nolisten tcp \
    -logfile "$WORK/xorg.log" >"$WORK/xorg.out" 2>&1 &
  XORG_PID=$!
  trap stop_display EXIT
  local i
  for i in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$XORG_PID" 2>/dev/null || die "the X server did not start: $(tail -n 5 "$WORK/xorg.log" 2>/dev/null)"
    sleep 0.1
  done
  xdpyinfo >/dev/null 2>&1 || die "the X server on $DISPLAY does not answer"
  local extensions
  extensions=$(xdpyinfo -queryExtensions)
  grep -q XFree86-VidModeExtension <<<"$extensions" ||
    die "the X server on $DISPLAY has no XFree86-VidMode extension: no gamma ramp"
  export WINEPREFIX="$WORK/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1 || die "could not create a Wine prefix: $(tail -n 5 "$WORK/wineboot.log")"
}

start_tray() {
  trayer --edge bottom --align right --widthtype pixel --width 200 --height 38 \
    --SetDockType false --expand false >"$WORK/trayer.log" 2>&1 &
  TRAYER_PID=$!
  local i
  for i in $(seq 100); do
    [[ $(xwininfo -root -tree 2>/dev/null) == *'"panel"'* ]] && return 0
    sleep 0.1
  done
  die "trayer did not come up on $DISPLAY"
}

stop_display() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
  [ -n "${TRAYER_PID:-}" ] && kill "$TRAYER_PID" 2>/dev/null || true
  [ -n "${XORG_PID:-}" ] && kill "$XORG_PID" 2>/dev/null && wait "$XORG_PID" 2>/dev/null || true
  [ -n "${WORK:-}" ] && rm -rf "$WORK"
}

# A path under / as the Windows programs see it.
winpath() { echo "Z:${1//\//\\}"; }
