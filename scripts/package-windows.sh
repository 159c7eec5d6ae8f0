#!/usr/bin/env bash
# Builds the Windows installer tensovia-<version>-win64.exe and the portable
# tensovia-<version>-win64.zip and prints their paths on the last two lines.
#
#   scripts/package-windows.sh              the program of build/windows, the tree of the
#                                           `windows` preset (configured first if it is not);
#                                           both land in the repository's top folder
#   scripts/package-windows.sh --from TREE  the program of another tree configured for Windows
#   scripts/package-windows.sh --to DIR     where they land
#
# Installs what is missing on a fresh Debian 12 machine first. Qt for Windows is the one the
# windows preset finds (scripts/windows-qt.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

tree=build/windows
to=$PWD
while [ $# -gt 0 ]; do
    case "$1" in
        --from) tree=$2; shift 2 ;;
        --to) to=$(realpath "$2"); shift 2 ;;
        *) sed -n '2,12s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
    esac
done

scripts/ensure-packages.sh $(cat scripts/windows-packages.txt) >&2

[ -f "$tree/CMakeCache.txt" ] || cmake --preset windows -B "$tree" >&2
if ! grep -q '^set(CPACK_GENERATOR "NSIS;ZIP")' "$tree/CPackConfig.cmake"; then
    echo "package-windows: $tree is not configured for Windows (cmake --preset windows -B $tree)" >&2
    exit 1
fi
cmake --build "$tree" -j "$(nproc)" --target tensovia >&2

# Stripping stamps the time into each program and DLL; one fixed time, the last commit's unless
# SOURCE_DATE_EPOCH names another, makes the installer's and the zip's files the same.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && epoch=$(git log -1 --format=%ct 2>/dev/null); then
    export SOURCE_DATE_EPOCH=$epoch
fi
staging="$(realpath "$tree")/cpack"
rm -f "$staging"/*-win64.exe "$staging"/*-win64.zip
cpack --config "$tree/CPackConfig.cmake" -B "$staging" >&2
mkdir -p "$to"
for built in "$staging"/*-win64.exe "$staging"/*-win64.zip; do
    mv "$built" "$to/"
    echo "$to/$(basename "$built")"
done
