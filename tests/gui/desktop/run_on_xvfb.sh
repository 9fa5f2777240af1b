#!/bin/sh
# Runs a window test on a virtual X display of its own, where it drives the
# window with real X events (xdotool). Skips (77) when the tools are missing.
for tool in xvfb-run Xvfb xauth xdotool; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "SKIPPED: $tool is not installed (Debian packages xvfb, xauth, xdotool)"
    exit 77
  fi
done
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
