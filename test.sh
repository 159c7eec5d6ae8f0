#!/usr/bin/env bash
# Builds the program and every test, runs them, and prints CTest's summary. Installs what is
# missing on a fresh Debian 12 machine first. A second, ThreadSanitizer build runs the serial
# layer's tests.
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
echo "== ThreadSanitizer: serial layer =="
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" --target serial_tests
ctest --preset tsan -j "$jobs" || status=$?

exit $status
