#!/usr/bin/env bash
# Builds Quillmere and the substitute registration server, starts the server on
# a free loopback port, points the settings file at it and opens Quillmere.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
# QM_BUILD_DIR lets a developer keep the demo apart from their own build.
build="${QM_BUILD_DIR:-$repo/build}"
bin="$build/bin"

bash "$repo/scripts/setup.sh"
cmake -G Ninja -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target quillmere regsim -j2

log=$(mktemp)
regsim_pid=""
cleanup() {
  if [ -n "$regsim_pid" ]; then
    kill "$regsim_pid" 2>/dev/null || true
    wait "$regsim_pid" 2>/dev/null || true
  fi
  rm -f "$log"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Line-buffered, so the port line arrives at once even if regsim forgets to flush.
stdbuf -oL "$bin/regsim" --port 0 >"$log" 2>&1 &
regsim_pid=$!

# regsim announces its port on its first line: "LISTENING <port>".
port=""
for _ in $(seq 1 100); do
  line=$(head -n 1 "$log" 2>/dev/null || true)
  if [[ "$line" =~ ^LISTENING\ ([0-9]+) ]]; then
    port=${BASH_REMATCH[1]}
    break
  fi
  if ! kill -0 "$regsim_pid" 2>/dev/null; then
    echo "regsim stopped before it was listening:" >&2
    cat "$log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "regsim did not report its port within 10 seconds:" >&2
  cat "$log" >&2
  exit 1
fi
echo "regsim listening on 127.0.0.1:$port"

# The settings file beside the program: GB18030 text with CR LF line ends.
# [升级] points "升级" and the companion downloads at regsim's update server and
# gives the test key that regsim signs its update descriptor with.
pubkey=$(tr -d ' \t\r\n' <"$repo/tests/fixtures/update/test_update_key.pub")
printf '[学籍系统省份]\r\nxjxtsf=99\r\n[自定义网址]\r\nzdurl=127.0.0.1:%s\r\n[登录用户]\r\ndenglu=demo\r\n[升级]\r\nurl=http://127.0.0.1:%s/update/\r\npubkey=%s\r\n' "$port" "$port" "$pubkey" |
  iconv -f UTF-8 -t GB18030 >"$bin/quillmeresz.ini.tmp"
mv "$bin/quillmeresz.ini.tmp" "$bin/quillmeresz.ini"

# Chromium's sandbox cannot run as root, and Quillmere refuses root unless the
# launcher chose to run without it, as this demo does.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running Quillmere under xvfb-run (a virtual screen nobody sees)."
  xvfb-run -a "$bin/quillmere"
else
  "$bin/quillmere"
fi
