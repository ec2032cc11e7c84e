#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
ctest --test-dir build --output-on-failure --parallel "$(nproc)"

# Then the reliability stages: every test again with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/), and each fuzz target for FUZZ_SECONDS
# seconds, 30 here (build-fuzz/). The README's "Reliability" section has the figures.
bash scripts/ci-sanitizers.sh build-asan
FUZZ_SECONDS="${FUZZ_SECONDS:-30}" bash scripts/fuzz.sh
