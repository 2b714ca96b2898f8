# Sourced by the scripts: gives Wine an X display and a running wineserver.
# Without a DISPLAY an Xvfb is started on a free display number; whatever
# this starts is stopped by stop_display, which the caller traps on EXIT.
_started_xvfb=""
_started_wineserver=""
_desktop_keeper=""

start_display() {
  if [[ -z "${DISPLAY:-}" ]] || ! xdpyinfo >/dev/null 2>&1; then
    local n tries
    for n in $(seq 90 160); do
      [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
      Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
      _started_xvfb=$!
      tries=0
      # Another run may have taken the same number a moment ago: then this
      # Xvfb exits at once and the next number is tried.
      until DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; do
        kill -0 "$_started_xvfb" 2>/dev/null || break
        ((tries++ < 100)) || break
        sleep 0.1
      done
      if kill -0 "$_started_xvfb" 2>/dev/null && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
        export DISPLAY=":$n"
        break
      fi
      kill "$_started_xvfb" 2>/dev/null || true
      _started_xvfb=""
    done
    [[ -n "$_started_xvfb" ]] || { echo "Xvfb did not start" >&2; return 1; }
    echo "No X display was set: started Xvfb on $DISPLAY (1920x1080)."
  fi
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    echo "Creating the Wine prefix in $WINEPREFIX (once per build folder)..."
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # Wine's virtual desktop: Wine draws the window frames itself, as
    # Windows would, whatever X server (or none) runs underneath.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1920x1080 /f >/dev/null 2>&1 || true
    wineserver -w
  fi
  # A persistent wineserver makes each test process start in milliseconds.
  wineserver -p
  _started_wineserver=1
  # Wine's own background processes (services, the desktop) start with the
  # first program; start them here, away from any output pipe, or a caller
  # that reads a program's output would wait for them to end.
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# Wine closes its desktop about a second after the last program on it ends;
# the next program then waits for a new desktop, or, starting just as the old
# one closes, may get no window at all. For a run of many short programs (the
# tests) a command prompt waiting on its input keeps the desktop open until
# stop_display. Call after start_display.
keep_desktop_open() {
  local ready="$TAVILO_BUILD_DIR/desktop-kept-open"
  rm -f "$ready"
  exec {_desktop_keeper}> >(exec wine cmd >/dev/null 2>&1)
  # The prompt holds the desktop once it runs commands: have it leave a file.
  echo "echo.>Z:${ready//\//\\}" >&"$_desktop_keeper"
  local tries=0
  until [[ -f "$ready" ]]; do
    ((tries++ < 600)) || { echo "the command prompt that keeps Wine's desktop open did not start" >&2; return 1; }
    sleep 0.05
  done
  rm -f "$ready"
  # The desktop's window belongs to a process of its own, started by the
  # first program that needs it and holding that program's output open:
  # started here, it holds nothing a caller reads to its end.
  wine rundll32 user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
  if ! pgrep -f 'explorer.exe /desktop' >/dev/null; then
    # Kept open without its window, the desktop would hold the output of
    # the program that starts it for good: let it close as before.
    echo "Wine's desktop did not start; it is not kept open" >&2
    exec {_desktop_keeper}>&-
    _desktop_keeper=""
    return 1
  fi
}

stop_display() {
  if [[ -n "$_desktop_keeper" ]]; then
    exec {_desktop_keeper}>&-
  fi
  if [[ -n "$_started_wineserver" ]]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  if [[ -n "$_started_xvfb" ]]; then
    kill "$_started_xvfb" >/dev/null 2>&1 || true
    wait "$_started_xvfb" 2>/dev/null || true
  fi
}
