#!/usr/bin/env bash
# Installs what is needed, builds, and starts Vantelo from the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
cd build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Vantelo on a virtual display (Xvfb). Nothing will be visible;"
    echo "set DISPLAY to run it on your screen."
    exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" ./vantelo
fi
exec ./vantelo
