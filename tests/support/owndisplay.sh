#!/bin/bash
# Runs one test on an X display of its own: the pointer, focus and window stacking of the
# tests running beside it cannot reach its windows. Without Xvfb, or when it is run with no
# display at all (the thread checker's off-screen tests), the test runs as it is.
command -v Xvfb >/dev/null || exec "$@"
[ -n "${DISPLAY:-}" ] || exec "$@"
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$dir"' EXIT
trap 'exit 143' TERM INT
# The server writes its display number once it accepts clients (slowly on a busy machine).
until [ -s "$dir/display" ]; do
  if ! kill -0 $server 2>/dev/null; then
    cat "$dir/log" >&2
    echo "owndisplay: Xvfb did not start" >&2
    exit 1
  fi
  sleep 0.05
done
DISPLAY=:$(head -n1 "$dir/display") "$@"
