# Shared by the scripts: where the cache, the cross-built libraries and the Wine prefix live.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export XINGLV_CACHE=${XINGLV_CACHE:-$HOME/.cache/xinglv}
export XINGLV_MINGW_PREFIX=${XINGLV_MINGW_PREFIX:-$XINGLV_CACHE/mingw}
export WINEPREFIX=${WINEPREFIX:-$XINGLV_CACHE/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wineserver_bin=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# Runs a command as root: directly when this is root, otherwise through sudo.
sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

# step TEXT COMMAND...: one line saying what is being done, then COMMAND with its output kept
# aside. While it runs, a line every 30 s says how long it has taken and the last thing it
# printed (a build's "[57/430] ..."), so a long step is never silent. When it fails, its
# output is shown; when it succeeds, only the warnings in it are. Returns COMMAND's status.
# COMMAND may be a function, which must return its own failures (errexit does not reach it).
#
# COMMAND runs in the background, where the terminal's Ctrl+C does not reach it: this shell
# takes the Ctrl+C, ends COMMAND with every process under it (a build and its compilers, Wine
# and its program) and then ends as Ctrl+C would have ended it, its EXIT trap cleaning up,
# with no failure reported for a step the user stopped.
step() {
  local what=$1 log status=0 interrupted= saved beat pid
  shift
  log=$(mktemp "${TMPDIR:-/tmp}/xinglv-step.XXXXXX")
  printf '%s\n' "$what"
  # The beat ends with the step, or with this shell if something ends it first.
  (
    parent=$$ seconds=0
    while kill -0 "$parent" 2>/dev/null; do
      sleep 1
      seconds=$((seconds + 1))
      [ $((seconds % 30)) = 0 ] || continue
      last=$(tail -n 1 "$log" 2>/dev/null | tr -d '\r' | cut -c1-100)
      printf '  ... %d:%02d%s\n' $((seconds / 60)) $((seconds % 60)) "${last:+  $last}"
    done
  ) &
  beat=$!
  "$@" >"$log" 2>&1 &
  pid=$!
  saved=$(trap -p INT TERM)
  trap 'interrupted=1' INT TERM
  while :; do
    status=0
    wait "$pid" || status=$?
    if [ -n "$interrupted" ] || ! kill -0 "$pid" 2>/dev/null; then break; fi
  done
  kill "$beat" 2>/dev/null || true
  wait "$beat" 2>/dev/null || true
  if [ -n "$saved" ]; then eval "$saved"; else trap - INT TERM; fi
  if [ -n "$interrupted" ]; then
    end_tree "$pid"
    rm -f "$log"
    kill -INT $$
    return 130
  fi
  if [ "$status" != 0 ]; then
    printf 'FAILED: %s\n' "$what" >&2
    tail -n 150 "$log" >&2
    printf '(the whole output: %s)\n' "$log" >&2
    return "$status"
  fi
  grep -i 'warning:' "$log" | head -n 50 || true
  rm -f "$log"
}

# Ends a process and every process under it, all found before any is ended (a process ended
# first would leave its children to init, out of reach).
end_tree() {
  local tree=("$1") i=0 child
  while [ $i -lt ${#tree[@]} ]; do
    for child in $(pgrep -P "${tree[$i]}"); do tree+=("$child"); done
    i=$((i + 1))
  done
  kill -TERM "${tree[@]}" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# build_step TREE CONFIGURE WHAT [TARGET...]: configures a build tree with the function
# CONFIGURE and builds the targets (none: everything) as one step; the first build of a
# tree says that it takes minutes.
build_step() {
  local tree=$1 configure=$2 what=$3 first=
  shift 3
  [ -f "$root/$tree/.ninja_log" ] || first=" (the first time: several minutes)"
  step "building $what in $tree$first" build_tree "$tree" "$configure" "$@"
}
build_tree() {
  local tree=$1 configure=$2
  shift 2
  "$configure" || return
  if [ $# -gt 0 ]; then cmake --build "$root/$tree" --target "$@"; else cmake --build "$root/$tree"; fi
}

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
    # In a session of its own: the terminal's Ctrl+C does not end it before the Wine
    # programs drawing on it; stop_display ends it after them.
    setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && return; sleep 0.1; done
    return
  done
  echo "no free X display" >&2
  return 1
}
stop_display() {
  # The Wine session belongs to the display; it ends first, and the display once the session
  # is gone: a Wine program still drawing when its display goes says "X connection broken".
  "$wineserver_bin" -k 2>/dev/null || true
  "$wineserver_bin" -w 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] || return 0
  # An X server may miss a signal that comes just as it starts to wait: it is asked again.
  local tries
  for tries in $(seq 10); do
    kill "$XVFB_PID" 2>/dev/null || break
    sleep 0.5
  done
  kill -KILL "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
}
