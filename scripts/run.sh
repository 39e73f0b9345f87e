#!/bin/sh
# Starts the desktop program on its own data folder (build/demo-data). The first time, the folder is seeded
# with a demo archive: 300 random draws made by the program itself, not real results. Without a display
# the program runs on a virtual screen (xvfb-run); Ctrl+C ends it the normal way.
set -e
BUILD=${1:-build}
DATA="$BUILD/demo-data"
PROGRAM="$BUILD/src/gui/Quintar_7x35"
mkdir -p "$DATA"
if [ ! -s "$DATA/Quintar_7x35.ldr" ]; then
  "$BUILD/src/cli/quintar-cli" --data-dir="$DATA" draws demo --count=300 >/dev/null
  echo "Seeded $DATA with a demo archive: 300 random draws made by the program, not real results."
fi
echo "Starting the desktop program on $DATA"
if [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; then
  exec "$PROGRAM" --data-dir="$DATA"
fi

echo "No display available: running under xvfb-run on a virtual screen, so no window is visible here."
echo "Ctrl+C ends the program (its window settings are written on the way out)."
# The virtual screen runs in a session of its own so that Ctrl+C reaches only the program, which closes
# the normal way while the screen is still there.
PIDFILE=$(mktemp)
trap 'kill -INT "$(cat "$PIDFILE")" 2>/dev/null || true' INT TERM
setsid -w xvfb-run -a -s "-screen 0 1600x1000x24" \
  sh -c 'echo $$ > "$0"; exec "$@"' "$PIDFILE" "$PROGRAM" --data-dir="$DATA" &
RUNNER=$!
rc=0
while kill -0 "$RUNNER" 2>/dev/null; do
  if wait "$RUNNER"; then rc=0; else rc=$?; fi
done
rm -f "$PIDFILE"
exit "$rc"
