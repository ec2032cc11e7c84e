#!/usr/bin/env bash
# Configures and builds Vantelo into build/ (or the folder given as $1).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" --parallel "$(nproc)"
