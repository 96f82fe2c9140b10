# Sourced by the process tests: a work folder, a display of our own (first free one
# from $1 on), a private environment for the program, and clean-up at exit.
# Sets WORK, XPID, APID (the test stores the program's pid there).
WORK=$(mktemp -d)
XPID=""
APID=""
cleanup() {
  if [ -n "$APID" ]; then kill -9 "$APID" 2>/dev/null; wait "$APID" 2>/dev/null; fi || true
  [ -n "$XPID" ] && kill "$XPID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

for n in $(seq "$1" $(($1 + 49))); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then DISPLAY_NUM=$n; break; fi
done
# -noreset: by default the server resets when its last client goes, and a program started
# right after another was killed could then find no display.
Xvfb ":$DISPLAY_NUM" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
XPID=$!
export DISPLAY=":$DISPLAY_NUM"
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getmouselocation >/dev/null 2>&1 || { echo "Xvfb did not start on $DISPLAY"; exit 1; }

export XDG_STATE_HOME="$WORK/state" XDG_CONFIG_HOME="$WORK/config" XDG_DATA_HOME="$WORK/data"
export SCRIVLE_REGISTRY="$WORK/registry.reg"
unset QT_QPA_PLATFORM
mkdir -p "$WORK/docs"
