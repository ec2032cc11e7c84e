#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
ctest --test-dir build --output-on-failure --parallel "$(nproc)"
