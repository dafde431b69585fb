# Shared by the scripts: where the cache, the cross-built libraries and the Wine prefix live.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export XINGLV_CACHE=${XINGLV_CACHE:-$HOME/.cache/xinglv}
export XINGLV_MINGW_PREFIX=${XINGLV_MINGW_PREFIX:-$XINGLV_CACHE/mingw}
export WINEPREFIX=${WINEPREFIX:-$XINGLV_CACHE/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wineserver_bin=$(command -v wineserver || echo /usr/lib/wine/wineserver)

configure_native() {
  cmake -S "$root" -B "$root/build/native" -G Ninja -DCMAKE_BUILD_TYPE=${XL_NATIVE_BUILD_TYPE:-Debug} "$@" >/dev/null
}
# The Windows tree is built as the release is (scripts/package), so that its exe, made in
# another folder, must come out byte for byte as the zip's: scripts/test compares the two.
configure_win64() {
  cmake -S "$root" -B "$root/build/win64" -G Ninja -DCMAKE_BUILD_TYPE=Release -DXL_RELEASE=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-toolchain.cmake" "$@" >/dev/null
}

# The copy of the prefix whose display is at 144 DPI (150 %), made by scripts/setup: the tests
# check there that the program scales with the display.
wine_prefix_144dpi() { echo "$WINEPREFIX-144dpi"; }

# The Windows version Wine reports to the programs of the prefix (win7, win10). Programs read
# it when they start; call it once the display is up, like every Wine call.
wine_windows_version() {
  wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$1" /f >/dev/null 2>&1
}

# Starts an Xvfb display for the Wine runs when there is none; XVFB_PID is set when started.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${XL_FORCE_XVFB:-}" ]; then return; fi
  local n
  for n in $(seq 91 130); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return; sleep 0.1; done
    return
  done
  echo "no free X display" >&2
  return 1
}
stop_display() {
  # The Wine session belongs to the display; end it with the display.
  "$wineserver_bin" -k 2>/dev/null || true
  if [ -n "${XVFB_PID:-}" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}
