#!/bin/sh
# As root, Quillmere never switches Chromium's sandbox off: without
# QTWEBENGINE_DISABLE_SANDBOX from the caller it shows an error box titled
# "错误" and ends with status 1. Runs the program on a virtual X display of its
# own; skips (77) when not root or when the X tools are missing.
# usage: root_refusal_test.sh PROGRAM
set -u
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: the rule is about root"
  exit 77
fi
for tool in xvfb-run Xvfb xauth xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (Debian packages xvfb, xauth, xdotool)"
    exit 77
  fi
done
if [ -z "${QM_ON_XVFB:-}" ]; then
  QM_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
# A copy in a folder of its own, so its settings file lands there.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$1" "$dir/quillmere"
env -u QTWEBENGINE_DISABLE_SANDBOX QT_QPA_PLATFORM=xcb "$dir/quillmere" &
pid=$!
box=""
for _ in $(seq 1 300); do
  box=$(xdotool search --name '^错误$' 2>/dev/null | head -n 1)
  [ -n "$box" ] && break
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: the program ended without its error box"
    exit 1
  fi
  sleep 0.1  # polls for the box, 30 s at most
done
if [ -z "$box" ]; then
  echo "FAIL: no window titled 错误 within 30 s"
  kill "$pid"
  exit 1
fi
if xdotool search --onlyvisible --name '^Quillmere' >/dev/null 2>&1; then
  echo "FAIL: the main window opened as well"
  kill "$pid"
  exit 1
fi
xdotool windowactivate --sync "$box" 2>/dev/null || true
xdotool key --window "$box" Return
status=0
wait "$pid" || status=$?
if [ "$status" -ne 1 ]; then
  echo "FAIL: exit status $status, expected 1"
  exit 1
fi
echo "PASS: refused to run as root without the caller's sandbox choice"
