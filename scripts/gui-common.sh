# Sourced by scripts/test-gui and scripts/test-windows-gui: a virtual X
# server with a fixed 1024 x 768 screen, so that the centred 800 x 600
# window sits at (112, 84), and the environment in which the native
# window shows its accessibility tree.

# Starts Xvfb on a free display (it reports the number on a pipe) and sets
# $xvfb_pid and DISPLAY. The caller's exit trap calls stop_xvfb. A larger
# screen is for windows on a scaled display. LOG_FILE [WIDTHxHEIGHT]
start_xvfb() {
  local fd display=
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 "${2:-1024x768}x24" -nolisten tcp -noreset >"$1" 2>&1 &
  xvfb_pid=$!
  read -r -t 30 -u "$fd" display || { echo "${0##*/}: Xvfb did not start (see $1)" >&2; exit 1; }
  export DISPLAY=:$display
}

stop_xvfb() {
  if [ -n "${xvfb_pid:-}" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}

# Qt 6.4 bridges to AT-SPI only when asked to (no desktop here announces a
# screen reader); the offscreen platform of the other tests is not wanted.
# RUNTIME_DIR becomes a fresh XDG_RUNTIME_DIR. The tests' Python is the
# real Debian one: pyatspi lives there, not in other interpreters.
accessible_qt_environment() {
  unset QT_QPA_PLATFORM
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
  export QT_QPA_PLATFORMTHEME= XDG_RUNTIME_DIR=$1
  rm -rf "$XDG_RUNTIME_DIR"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  export PYTHONDONTWRITEBYTECODE=1
}
