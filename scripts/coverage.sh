#!/usr/bin/env bash
# Line coverage of the program's folders by the tests, with clang's source-based coverage: builds
# the coverage preset (build/coverage), runs its tests with every process writing its profile,
# merges the profiles and prints one line a folder and the total; the whole per-file report is
# kept in build/coverage/coverage.txt. About 20 minutes on two cores.
#
#   scripts/coverage.sh [ctest options...]     e.g. -R trend for the trend's tests only
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/ensure-packages.sh $(cat scripts/build-packages.txt scripts/test-packages.txt)

build=build/coverage
profiles=$build/profiles
rm -rf "$profiles"
cmake --preset coverage >/dev/null
cmake --build --preset coverage -j "$(nproc)"
# Every process, the simulators the tests start included, writes a profile of its own.
LLVM_PROFILE_FILE="$PWD/$profiles/%p-%m.profraw" ctest --preset coverage -j "$(nproc)" "$@" ||
    echo "coverage: some tests failed; the figures count what ran" >&2
llvm-profdata merge -sparse -o "$build/merged.profdata" "$profiles"/*.profraw

mapfile -t programs < <(find "$build" -path "$build/CMakeFiles" -prune -o -type f -executable \
    -exec sh -c 'head -c 4 "$1" | grep -q ELF' _ {} \; -print | sort)
objects=("${programs[0]}")
for program in "${programs[@]:1}"; do objects+=(-object "$program"); done
llvm-cov report -instr-profile "$build/merged.profdata" "${objects[@]}" \
    -ignore-filename-regex='(^/usr/|/build/|/tests/|/fuzz/|/bench/)' >"$build/coverage.txt"
scripts/coverage-by-folder.awk "$build/coverage.txt"
