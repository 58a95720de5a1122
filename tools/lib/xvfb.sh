# Starting a virtual X server: xvfb_start <pid-file> [depth] prints the display (":N") once it is
# ready; the screen has 24 bits per pixel unless another depth is given (8 is a palette screen).
# The server runs detached from the caller's pipes, so that CTest does not wait for it.

xvfb_start() {
  local pidfile=$1 depth=${2:-24} numfile
  numfile=$(mktemp)
  setsid Xvfb -displayfd 3 -screen 0 "1280x1024x$depth" -nolisten tcp \
    3>"$numfile" </dev/null >/dev/null 2>&1 &
  echo $! >"$pidfile"
  local i
  for i in $(seq 1 100); do
    if [ -s "$numfile" ]; then
      echo ":$(tr -d '[:space:]' <"$numfile")"
      rm -f "$numfile"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$numfile"
  echo "Xvfb did not start" >&2
  return 1
}

xvfb_alive() {
  local pidfile=$1
  [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null
}

xvfb_stop() {
  local pidfile=$1
  if xvfb_alive "$pidfile"; then kill "$(cat "$pidfile")" 2>/dev/null || true; fi
  rm -f "$pidfile"
}

# The display of a Wine prefix's own Xvfb, started on first use and left running: Wine's desktop
# process keeps the display it first saw. xvfb_for_prefix <prefix> prints the display.
xvfb_for_prefix() {
  local prefix=$1
  mkdir -p "$(dirname "$prefix")"
  (
    exec 9>"$prefix.lock"
    flock 9
    if ! xvfb_alive "$prefix.xvfb.pid" || [ ! -s "$prefix.xvfb.display" ]; then
      xvfb_start "$prefix.xvfb.pid" >"$prefix.xvfb.display"
    fi
    # The server holds the lock's file open too: unlock it, rather than leave it to the exit.
    flock -u 9
    cat "$prefix.xvfb.display"
  )
}
