# Sourced by the process benchmarks: an Xvfb display of its own with openbox, a work folder,
# settings and state folders of their own, all removed on exit with the programs whose PIDs
# are in APID and OPID at that moment. Set BENCH_TOOLS (further commands required) and
# BENCH_DISPLAYS (the display numbers to try, "FIRST LAST") before sourcing.
# Public tools only: Xvfb, openbox, xdotool.
for tool in Xvfb openbox xdotool ${BENCH_TOOLS:-}; do
  command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done
WORK=$(mktemp -d)
XPID="" WPID="" APID="" OPID=""
cleanup() {
  [ -n "$APID" ] && kill -9 "$APID" 2>/dev/null || true
  [ -n "$OPID" ] && kill -9 "$OPID" 2>/dev/null || true
  [ -n "$WPID" ] && kill "$WPID" 2>/dev/null || true
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
# shellcheck disable=SC2086
for n in $(seq ${BENCH_DISPLAYS:-170 219}); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then DISPLAY_NUM=$n; break; fi
done
Xvfb ":$DISPLAY_NUM" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
XPID=$!
export DISPLAY=":$DISPLAY_NUM"
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
WPID=$!
# A window mapped while the window manager is still starting may never be shown: wait for
# its check window.
for _ in $(seq 100); do xdotool search --name '^Openbox$' >/dev/null 2>&1 && break; sleep 0.05; done
export XDG_STATE_HOME="$WORK/state" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
export SCRIVLE_REGISTRY="$WORK/registry.reg"
unset QT_QPA_PLATFORM
mkdir -p "$WORK/docs"
