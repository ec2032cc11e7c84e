#!/usr/bin/env bash
# Builds the program and every test with AddressSanitizer, UndefinedBehaviorSanitizer
# (any finding stops the program) and the checked C++ standard library into
# build-asan/ (or the folder given as $1), then runs the whole test suite there.
# LeakSanitizer runs too; tests/lsan.supp lists the libraries whose own leaks are
# not ours to fix.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${1:-build-asan}"

# -O1 keeps the build quick and the stack traces readable. Not a Debug build:
# Qt's own assertions stay off, as in the shipped program, while assert() in our
# code stays on (no NDEBUG).
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-g -O1" \
      -DVANTELO_SANITIZE=ON

suppressions="$(pwd)/tests/lsan.supp"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0:check_initialization_order=1:verify_asan_link_order=0"
export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# The build runs its own tools (the address-table builder, the flag painter)
# under the sanitizers too.
cmake --build "$build_dir" --parallel "$(nproc)"

ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)"
