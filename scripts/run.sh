#!/usr/bin/env bash
# Installs what is needed, builds, and starts Vantelo from the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
cd build
exec ./vantelo-catalogue list
