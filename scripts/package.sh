#!/usr/bin/env bash
# Builds the Debian package tensovia_<version>_amd64.deb and prints its path on the last line.
#
#   scripts/package.sh                  the workflow preset "package": a Release build of its own
#                                       in build/package with Debian's build and hardening flags;
#                                       the package lands in the repository's top folder
#   scripts/package.sh --from TREE      the programs of a configured build tree instead (test.sh
#                                       packages its build/dev)
#   scripts/package.sh --to DIR         where the package lands
#
# Installs what is missing on a fresh Debian 12 machine first.
set -euo pipefail
cd "$(dirname "$0")/.."

tree=""
to=$PWD
while [ $# -gt 0 ]; do
    case "$1" in
        --from) tree=$2; shift 2 ;;
        --to) to=$(realpath "$2"); shift 2 ;;
        *) sed -n '2,11s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
    esac
done

scripts/ensure-packages.sh $(cat scripts/build-packages.txt scripts/package-packages.txt) >&2

if [ -z "$tree" ]; then
    # The flags are Debian's policy of the day, which only dpkg-buildflags knows; the preset
    # passes them on.
    export DEB_BUILD_MAINT_OPTIONS=hardening=+all
    CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
    LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
    export CXXFLAGS LDFLAGS CMAKE_BUILD_PARALLEL_LEVEL=$(nproc)
    staging=build/package/cpack
    rm -f "$staging"/*.deb
    cmake --workflow --preset package >&2
else
    cmake --build "$tree" -j "$(nproc)" --target tensovia tensovia-sim >&2
    staging=$tree/cpack
    rm -f "$staging"/*.deb
    cpack --config "$tree/CPackConfig.cmake" -B "$(realpath "$tree")/cpack" >&2
fi
built=("$staging"/*.deb)
mkdir -p "$to"
mv "${built[0]}" "$to/"
echo "$to/$(basename "${built[0]}")"
