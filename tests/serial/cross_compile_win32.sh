#!/usr/bin/env bash
# Configures and builds the serial layer alone with the MinGW-w64 cross compiler, so that the
# Windows platform files keep compiling. Exits 77 (skipped) when the cross compiler is missing.
set -euo pipefail
source_dir=$1
build_dir=$2
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "x86_64-w64-mingw32-g++-posix not installed: skipped"
  exit 77
fi
cmake -S "$source_dir" -B "$build_dir" \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTENSOVIA_SERIAL_ONLY=ON -DTENSOVIA_WERROR=ON >/dev/null
cmake --build "$build_dir" -j 2
