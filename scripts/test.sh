#!/usr/bin/env bash
# Installs what is needed, builds everything and runs all tests.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
bash "$repo/scripts/setup.sh"
build="$repo/build"
# ccache, when present, makes a rebuild of an unchanged tree nearly free.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$repo"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -G Ninja -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build "$build" -j2
# Chromium's sandbox cannot run as root; the tests set the rest of their environment themselves.
if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
cd "$build"
ctest --output-on-failure -j2 --timeout 600
# The plain libraries under AddressSanitizer and UBSan, and every fuzz target for a minute.
bash "$repo/scripts/sanitize.sh"
