#!/usr/bin/env bash
# Builds the receive-path fuzzer with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs it for SECONDS (default 600) from the seed corpus in fuzz/corpus. Inputs that find new
# paths are kept in the build directory's corpus/, never in the repository; an input that breaks
# something is written to its artifacts/ and ends the run with a non-zero status.
# Usage: fuzz/run.sh [SECONDS [libFuzzer options...]]
# FUZZ_BUILD_DIR chooses the build directory (default build/fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift $(( $# > 0 ? 1 : 0 ))
build=${FUZZ_BUILD_DIR:-build/fuzz}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTENSOVIA_FUZZ=ON "-DTENSOVIA_SANITIZE=fuzzer-no-link;address;undefined" >/dev/null
cmake --build "$build" -j "$(nproc)" --target receive_path_fuzzer

mkdir -p "$build/corpus" "$build/artifacts"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
# New inputs go to the first directory; the seed corpus is only read. No leak scan after each
# input: Qt's font and layout caches grow now and then, each growth would cost a full scan
# (fourteen times fewer inputs a second), and fontconfig's one-off start-up allocation would be
# reported. The sanitizer run of ./test.sh replays the corpus with leak detection.
exec "$build/fuzz/receive_path_fuzzer" "$build/corpus" fuzz/corpus \
    -max_total_time="$seconds" -max_len=4096 -detect_leaks=0 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/" "$@"
