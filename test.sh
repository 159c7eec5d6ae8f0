#!/usr/bin/env bash
# Builds the program and every test, runs them, and prints CTest's summary. Installs what is
# missing on a fresh Debian 12 machine first. Then the sanitizer runs: every test again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the serial layer's tests under
# ThreadSanitizer, and the receive-path fuzzer (clang, libFuzzer) for a minute. The exit status
# is not 0 when any run failed.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure-packages.sh $(cat scripts/build-packages.txt scripts/test-packages.txt)

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake --preset dev >/dev/null
cmake --build --preset dev -j "$jobs"
status=0
ctest --preset dev -j "$jobs" || status=$?

echo
echo "== Debian package: built, validated, unpacked and started =="
scripts/check-package.sh build/dev || status=$?

echo
echo "== AddressSanitizer + UndefinedBehaviorSanitizer: every test =="
# Leaks are reported when each test ends, and fail it.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
# The soak's memory bound is made for the plain build; the cross-compile and layout checks run
# no code of the program.
ctest --preset asan -j "$jobs" --label-exclude 'soak|cross|format' || status=$?

echo
echo "== ThreadSanitizer: serial layer =="
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" --target serial_tests
ctest --preset tsan -j "$jobs" || status=$?

echo
echo "== Fuzzer of the receive path: one minute =="
fuzz/run.sh 60 -seed=1 || status=$?

exit $status
