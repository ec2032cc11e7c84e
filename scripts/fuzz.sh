#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each of them
# for FUZZ_SECONDS seconds (default 60), FUZZ_JOBS at a time (default: the number
# of processors). Names given as arguments run only those targets.
#
#   bash scripts/fuzz.sh                      # every target, 60 s each
#   FUZZ_SECONDS=600 bash scripts/fuzz.sh main_xml
#
# Each target starts from its seeds (fuzz/corpus/<target>/) and the inputs that
# once broke it (fuzz/regressions/<target>/); what it learns is kept in
# build-fuzz/corpus/<target>/ for the next run. An input that crashes a target
# is written to build-fuzz/artifacts/<target>/ and the script fails: fix the
# cause, then add the input to fuzz/regressions/<target>/, which the normal test
# run replays through the same readers.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${FUZZ_SECONDS:-60}"
jobs="${FUZZ_JOBS:-$(nproc)}"
build_dir="${FUZZ_BUILD_DIR:-build-fuzz}"
all_targets=(main_xml channels_xml settings_xml favorites_xml channel_address xml_shape)
if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=("${all_targets[@]}")
fi

mkdir -p "$build_dir"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
      -DBUILD_TESTING=OFF -DVANTELO_FUZZ=ON > "$build_dir/configure.log" 2>&1 ||
    { cat "$build_dir/configure.log"; exit 1; }
cmake --build "$build_dir" --target vantelo_fuzzers --parallel "$(nproc)"

# Leaks are the readers' business too; UBSan findings stop the target.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

run_target() {
    local target=$1
    local corpus="$build_dir/corpus/$target" artifacts="$build_dir/artifacts/$target"
    local log="$build_dir/logs/$target.log"
    mkdir -p "$corpus" "$artifacts" "$(dirname "$log")" "fuzz/regressions/$target"
    local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                   -artifact_prefix="$artifacts/")
    if [ -f "fuzz/dict/$target.dict" ]; then
        options+=(-dict="fuzz/dict/$target.dict")
    fi
    # The shape check parses without the nesting guard: inputs stay small enough
    # for the parser's recursion.
    if [ "$target" = xml_shape ]; then
        options+=(-max_len=4096)
    fi
    if "$build_dir/fuzz_$target" "${options[@]}" "$corpus" "fuzz/corpus/$target" "fuzz/regressions/$target" \
        > "$log" 2>&1; then
        echo ok > "$log.status"
    else
        echo failed > "$log.status"
    fi
}

running=0
for target in "${targets[@]}"; do
    if [ ! -x "$build_dir/fuzz_$target" ]; then
        echo "no such fuzz target: $target (known: ${all_targets[*]})" >&2
        exit 2
    fi
    rm -f "$build_dir/logs/$target.log.status"
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

failed=0
printf '%-16s %8s %12s %10s %8s %8s  %s\n' target seconds executions "exec/s" corpus "rss MB" result
for target in "${targets[@]}"; do
    log="$build_dir/logs/$target.log"
    stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
    corpus_size=$(find "$build_dir/corpus/$target" -type f | wc -l)
    result=$(cat "$log.status" 2>/dev/null || echo failed)
    printf '%-16s %8s %12s %10s %8s %8s  %s\n' "$target" "$seconds" "$(stat number_of_executed_units)" \
        "$(stat average_exec_per_sec)" "$corpus_size" "$(stat peak_rss_mb)" "$result"
    if [ "$result" != ok ]; then
        failed=1
        echo "--- $target: last lines of $log" >&2
        tail -40 "$log" >&2
    fi
done
exit "$failed"
