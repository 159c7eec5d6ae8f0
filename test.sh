#!/usr/bin/env bash
# Builds the program and every test and runs them in stages, after installing what is missing on
# a fresh Debian 12 machine:
#   tests       every test (Qt Test, offscreen)
#   package     the Debian package of that build: validators, contents, the unpacked program started
#   asan-ubsan  every test again under AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan        the serial layer's tests under ThreadSanitizer
#   fuzzing     the receive-path fuzzer (clang, libFuzzer) for a minute
#   windows     the Windows build (MinGW-w64) and its tests under Wine, one session compared with
#               the Linux build's on the wire, the installer installed, run and removed again;
#               skipped, neither passed nor failed, where no Qt for Windows is at hand
# Each stage keeps its whole output in build/logs/STAGE.log and prints one line; a failing stage
# also prints the end of its log. The last lines repeat every stage's line and count them:
# "N passed, M failed". The exit status is not 0 when a stage failed.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure-packages.sh $(cat scripts/build-packages.txt scripts/test-packages.txt)

export QT_QPA_PLATFORM=offscreen
# Every core for the builds and the tests of the workflow presets.
export CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) CTEST_PARALLEL_LEVEL=$(nproc)
logs=build/logs
mkdir -p "$logs"
results=()
skipped=()
failed=0

# stage NAME COMMAND...: runs COMMAND, a program or a function of this script, with its output
# in build/logs/NAME.log (STAGE_LOG names it to the command) and prints the stage's line: passed
# or FAILED, the time taken, and the last line the command wrote, which sums it up. COMMAND runs
# in a child shell with `set -e` in force, so its first failing step ends it.
stage() {
    local name=$1 log=$logs/$1.log begin=$SECONDS status=0
    shift
    echo "== $name: running, log in $log"
    STAGE_LOG=$log "$@" >"$log" 2>&1 </dev/null &
    wait $! || status=$?
    local verdict=passed
    if [[ $status -ne 0 ]]; then
        verdict=FAILED
        failed=$((failed + 1))
        echo "-- end of $log:"
        tail -n 40 "$log" | sed 's/^/   /'
    fi
    local line
    line=$(printf '%-10s %s in %d s: %s' "$name" "$verdict" $((SECONDS - begin)) \
        "$(grep -v '^[[:space:]]*$' "$log" | tail -n 1)")
    echo "$line"
    results+=("$line")
}

# build_and_test PRESET: configures, builds and tests PRESET through its workflow preset and ends
# with CTest's count of passed and failed tests.
build_and_test() {
    local status=0
    cmake --workflow --preset "$1" || status=$?
    if [[ $status -ne 0 ]]; then
        # The failed tests' output again, into the end of the log that a failing stage shows.
        echo "Output of the failed tests:"
        awk '/Test +#[0-9]+: .*(\*\*\*|Failed|Timeout)/ { show = 1 }
             /^ *Start +[0-9]+:/ || /Test +#[0-9]+: .* Passed/ { show = 0 }
             show' "$STAGE_LOG" | tail -n 25
    fi
    grep -E '% tests passed' "$STAGE_LOG" | tail -n 1 || true
    return $status
}

# Qt for Windows: the cache that scripts/windows-qt.sh installs into, else the prebuilt tree that
# the project's machines keep beside the checkout, unpacked into that cache.
windows_qt=${TENSOVIA_QT_WINDOWS:-${XDG_CACHE_HOME:-$HOME/.cache}/tensovia/qt-6.4.2-mingw64}
prebuilt_qt=../shared/third_party/qt-6.4.2-mingw64.tar.xz
windows_qt_at_hand() {
    [[ -f $windows_qt/lib/cmake/Qt6/Qt6Config.cmake ]] && return
    [[ -f $prebuilt_qt ]] || return 1
    (cd "$(dirname "$prebuilt_qt")" && sha256sum --check --ignore-missing --quiet SHA256SUMS)
    mkdir -p "$(dirname "$windows_qt")"
    tar -xJf "$prebuilt_qt" -C "$(dirname "$windows_qt")"
}

windows_build() {
    scripts/ensure-packages.sh $(cat scripts/windows-packages.txt)
    build_and_test windows
    scripts/windows-end-to-end.sh build/dev build/windows
    scripts/check-package-windows.sh build/windows
}

stage tests build_and_test dev
stage package scripts/check-package.sh build/dev
stage asan-ubsan build_and_test asan
stage tsan build_and_test tsan
stage fuzzing fuzz/run.sh 60 -seed=1
if windows_qt_at_hand; then
    stage windows windows_build
else
    line="windows    skipped: no Qt for Windows (scripts/windows-qt.sh builds it)"
    echo "$line"
    skipped+=("$line")
fi

echo
printf '%s\n' "${results[@]}" ${skipped[@]+"${skipped[@]}"}
echo "$((${#results[@]} - failed)) passed, $failed failed"
[[ $failed -eq 0 ]]
