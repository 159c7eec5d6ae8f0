#!/usr/bin/env bash
# Builds Qt 6.4.2 for 64-bit Windows (x86_64-w64-mingw32, release, shared DLLs) with Debian's
# MinGW-w64 and the build machine's own Qt 6.4.2 tools, and installs it where
# cmake/mingw-w64-x86_64.cmake and scripts/wine-run.sh look for it: qtbase (Core, Gui, Widgets,
# Test; the windows and offscreen platform plugins; the windowsvista style) from Debian's qt6-base
# source package, and qtcharts.
#
#   scripts/windows-qt.sh            installs into $TENSOVIA_QT_WINDOWS, else
#                                    ${XDG_CACHE_HOME:-~/.cache}/tensovia/qt-6.4.2-mingw64
#   --prefix DIR                     installs into DIR instead
#   --jobs N                         compile jobs (default: the number of processors)
#   --qtcharts TARBALL               the qtcharts 6.4.2 sources (also $TENSOVIA_QTCHARTS_TARBALL);
#                                    without it Debian's qt6-charts source package, and where the
#                                    archive does not serve it the tarball in ../shared/third_party
#   --work DIR                       scratch folder, removed on success (default
#                                    ${XDG_CACHE_HOME:-~/.cache}/tensovia/qt-build)
#   --help                           this text
#
# A stamp in the installed tree records the versions and options; while they match, a run does
# nothing. A failed run keeps its scratch folder, and the next run picks up where it stopped.
# From scratch it takes about 45 minutes on two cores; it prints how long each step took.
set -euo pipefail

readonly qt_version=6.4.2
checkout=$(cd "$(dirname "$0")/.." && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/tensovia
prefix=${TENSOVIA_QT_WINDOWS:-$cache/qt-$qt_version-mingw64}
work=$cache/qt-build
jobs=$(nproc)
charts_tarball=${TENSOVIA_QTCHARTS_TARBALL:-}
default_charts_tarball=$checkout/../shared/third_party/qtcharts-everywhere-src-$qt_version.tar.xz

readonly stamp_name=.windows-qt.stamp
# Present while an install is under way: the tree is ours, but not complete.
readonly partial_name=.windows-qt.partial
# Inside an unpacked source tree: which source it came from.
readonly unpacked_name=.windows-qt.unpacked
# Inside a build folder: the sources and arguments it was configured with.
readonly configured_name=.windows-qt.configured

usage() { awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0"; }
die() {
    echo "windows-qt.sh: $*" >&2
    exit 1
}

while [ $# -gt 0 ]; do
    case "$1" in
        --help) usage; exit 0 ;;
        --prefix | --jobs | --qtcharts | --work)
            [ $# -ge 2 ] || die "$1 needs a value"
            case "$1" in
                --prefix) prefix=$2 ;;
                --jobs) jobs=$2 ;;
                --qtcharts) charts_tarball=$2 ;;
                --work) work=$2 ;;
            esac
            shift 2
            ;;
        *) usage >&2; exit 2 ;;
    esac
done
[[ $jobs =~ ^[1-9][0-9]*$ ]] || die "--jobs takes a positive number, not '$jobs'"
prefix=$(realpath -m "$prefix")
work=$(realpath -m "$work")
[ -z "$charts_tarball" ] || charts_tarball=$(realpath -m "$charts_tarball")
# The scratch folder is removed on success, an outdated tree before installing: the scratch folder
# must neither contain nor lie in the tree or the checkout.
for kept in "$prefix" "$checkout"; do
    case "$kept/" in "$work"/*) die "$kept lies in the scratch folder $work" ;; esac
    case "$work/" in "$kept"/*) die "the scratch folder $work lies in $kept" ;; esac
done

# qtbase's configuration: release DLLs with only what the program uses. No OpenGL means no
# dynamicgl either (the windows platform plugin would not compile); no Direct2D means no
# DirectWrite 3 either (Gui builds that font database only with Direct2D, the plugin would not
# link). Debian's qtbase sources lack wintab, hence no tablet events. The bundled third-party
# libraries, because MinGW has none of Debian's.
qtbase_features=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DQT_FEATURE_sql=OFF -DQT_FEATURE_network=OFF -DQT_FEATURE_dbus=OFF -DQT_FEATURE_opengl=OFF
    -DQT_FEATURE_concurrent=OFF -DQT_FEATURE_xml=OFF -DQT_FEATURE_printsupport=OFF
    -DQT_FEATURE_tabletevent=OFF -DQT_FEATURE_vulkan=OFF -DQT_FEATURE_direct2d=OFF
    -DQT_FEATURE_jpeg=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_directwrite3=OFF -DQT_FEATURE_testlib=ON
    -DQT_FEATURE_system_zlib=OFF -DQT_FEATURE_system_pcre2=OFF -DQT_FEATURE_system_png=OFF
    -DQT_FEATURE_system_jpeg=OFF -DQT_FEATURE_system_freetype=OFF -DQT_FEATURE_system_harfbuzz=OFF
    -DQT_FEATURE_system_doubleconversion=OFF
)
qtcharts_features=(-DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF)

# --- Timing -----------------------------------------------------------------------------------

step_times=()
duration() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

# step TITLE COMMAND...: runs one step and notes how long it took.
step() {
    local title=$1 began=$SECONDS
    shift
    echo "==> $title"
    "$@"
    step_times+=("$(printf '  %-20s %s' "$title" "$(duration $((SECONDS - began)))")")
    echo "<== $title: $(duration $((SECONDS - began)))"
}

report_times() {
    local status=$?
    if [ ${#step_times[@]} -gt 0 ]; then
        echo "Steps:"
        printf '%s\n' "${step_times[@]}"
    fi
    if [ $status -eq 0 ]; then
        echo "Total: $(duration $SECONDS)"
    else
        echo "Failed after $(duration $SECONDS)." >&2
        [ ! -d "$work" ] || echo "The scratch folder $work is kept for the next run." >&2
    fi
}

# --- The installed tree -----------------------------------------------------------------------

package_version() { dpkg-query -W -f='${Version}' "$1"; }

# What the installed tree is made of; a tree stamped with the same text is up to date.
stamp_text() {
    cat <<EOF
Qt $qt_version for x86_64-w64-mingw32, built by scripts/windows-qt.sh
qtbase: Debian source package qt6-base $(package_version qt6-base-dev)
qtcharts: $qt_version
host tools: qt6-base-dev $(package_version qt6-base-dev)
compiler: g++-mingw-w64-x86-64-posix $(package_version g++-mingw-w64-x86-64-posix)
qtbase options: ${qtbase_features[*]}
qtcharts options: ${qtcharts_features[*]}
EOF
}

# Refuses a prefix that holds anything this script did not install.
check_prefix_is_ours() {
    if [ -d "$prefix" ] && [ -n "$(ls -A "$prefix")" ] &&
        [ ! -e "$prefix/$stamp_name" ] && [ ! -e "$prefix/$partial_name" ]; then
        die "$prefix is not empty and was not installed by this script; remove it or pass --prefix"
    fi
}

# Empties the prefix (an outdated or half-finished tree of ours) for a fresh install.
claim_prefix() {
    check_prefix_is_ours
    rm -rf "$prefix"
    mkdir -p "$prefix"
    touch "$prefix/$partial_name"
}

# --- Sources ----------------------------------------------------------------------------------

apt_options=(
    -o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$work/apt/sources.list.d"
    -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
)

# Source entries for the archives the system installs from, in a private apt configuration: the
# system's own stays as it is.
prepare_private_apt() {
    rm -rf "$work/apt"
    mkdir -p "$work/apt/sources.list.d" "$work/apt/lists/partial" "$work/apt/cache"
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -e "$file" ] || continue
        # Every enabled stanza whose types include deb, as deb-src.
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
             /(^|\n)Enabled:[ \t]*no/ { next }
             /(^|\n)Types:([^\n]*[ \t])?deb([ \t]|\n|$)/ {
                 sub(/Types:[^\n]*/, "Types: deb-src")
                 print
             }' "$file"
    done >"$work/apt/sources.list.d/system-src.sources"
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -e "$file" ] || continue
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$file"
    done >"$work/apt/sources.list.d/system-src.list"
    # A repository without sources must not stop the others: apt-get source says what is missing.
    apt-get "${apt_options[@]}" update || echo "Some source indices are missing; going on." >&2
}

# debian_source_version PACKAGE UPSTREAM: the archive's version of that source package for the
# upstream version, or nothing.
debian_source_version() {
    apt-cache "${apt_options[@]}" showsrc "$1" 2>/dev/null |
        sed -n "s/^Version: \(\([0-9]*:\)\{0,1\}$2[-+].*\)/\1/p" | head -n 1
}

# download_debian_source PACKAGE VERSION: downloads into $work/downloads/PACKAGE; apt checks every
# file against the archive's signed index.
download_debian_source() {
    mkdir -p "$work/downloads/$1"
    (cd "$work/downloads/$1" && apt-get "${apt_options[@]}" source --download-only "$1=$2")
}

# unpack_once DIR ORIGIN COMMAND...: unpacks with COMMAND into DIR, unless DIR already holds that
# origin from an earlier run (unpacking again would give ninja new timestamps to rebuild).
unpack_once() {
    local dir=$1 origin=$2
    shift 2
    if [ "$(cat "$dir/$unpacked_name" 2>/dev/null)" = "$origin" ]; then
        echo "$dir already holds $origin"
        return
    fi
    rm -rf "$dir"
    mkdir -p "$(dirname "$dir")"
    "$@"
    grep -q "QT_REPO_MODULE_VERSION \"$qt_version\"" "$dir/.cmake.conf" ||
        die "$dir is not Qt $qt_version"
    echo "$origin" >"$dir/$unpacked_name"
}

# dpkg-source checks each file against the checksums the .dsc lists, and applies Debian's patches.
unpack_debian_source() { dpkg-source -x "$1" "$2"; }

unpack_tarball() {
    mkdir -p "$2"
    tar -xf "$1" -C "$2" --strip-components=1
}

fetch_qtbase() {
    local version dsc
    version=$(package_version qt6-base-dev)
    [[ ${version#*:} == "$qt_version"[-+]* ]] ||
        die "the build machine's Qt is $version; its tools must be Qt $qt_version"
    download_debian_source qt6-base "$version"
    dsc=$work/downloads/qt6-base/qt6-base_${version#*:}.dsc
    unpack_once "$work/src/qtbase" "qt6-base $version" \
        unpack_debian_source "$dsc" "$work/src/qtbase"
}

# verify_tarball TARBALL: checks it against the SHA256SUMS beside it, where there is one.
verify_tarball() {
    local tarball=$1 sums expected actual
    [ -f "$tarball" ] || die "no qtcharts sources at $tarball; pass --qtcharts TARBALL"
    sums=$(dirname "$tarball")/SHA256SUMS
    if [ ! -f "$sums" ]; then
        echo "No SHA256SUMS beside $tarball; its checksum is not checked."
        return
    fi
    expected=$(awk -v name="$(basename "$tarball")" \
        '$2 == name || $2 == "*" name { print $1 }' "$sums")
    if [ -z "$expected" ]; then
        echo "$sums does not list $(basename "$tarball"); its checksum is not checked."
        return
    fi
    actual=$(sha256sum "$tarball" | cut -d ' ' -f 1)
    [ "$actual" = "$expected" ] || die "$tarball has SHA-256 $actual, $sums says $expected"
    echo "$tarball: SHA-256 matches $sums"
}

fetch_qtcharts() {
    if [ -z "$charts_tarball" ]; then
        local version
        version=$(debian_source_version qt6-charts "$qt_version")
        if [ -n "$version" ] && download_debian_source qt6-charts "$version"; then
            unpack_once "$work/src/qtcharts" "qt6-charts $version" unpack_debian_source \
                "$work/downloads/qt6-charts/qt6-charts_${version#*:}.dsc" "$work/src/qtcharts"
            return
        fi
        charts_tarball=$(realpath -m "$default_charts_tarball")
        echo "Debian's archive does not serve qt6-charts $qt_version; taking $charts_tarball"
    fi
    verify_tarball "$charts_tarball"
    unpack_once "$work/src/qtcharts" "$(sha256sum "$charts_tarball" | cut -d ' ' -f 1)" \
        unpack_tarball "$charts_tarball" "$work/src/qtcharts"
}

# --- Building ---------------------------------------------------------------------------------

# The compilers and search rules of cmake/mingw-w64-x86_64.cmake, without its parts that concern
# the program (where Qt is, Wine). Installed beside qt.toolchain.cmake, which loads it.
write_toolchain() {
    cat >"$work/mingw-w64-x86_64.cmake" <<'EOF'
# Cross compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads, for std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
}

# configure SOURCE BUILD CMAKE-ARGUMENTS...: a build folder configured from other sources or with
# other arguments starts afresh; one from a failed run with the same ones carries on.
configure() {
    local source=$1 build=$2
    shift 2
    local record
    record="$(cat "$source/$unpacked_name") $*"
    if [ "$(cat "$build/$configured_name" 2>/dev/null)" != "$record" ]; then
        rm -rf "$build"
    fi
    cmake -S "$source" -B "$build" -G Ninja "$@"
    echo "$record" >"$build/$configured_name"
}

build() { ninja -C "$1" -j "$jobs"; }

install_qtbase() {
    claim_prefix
    cmake --install "$work/build/qtbase"
}

# qt.toolchain.cmake names the toolchain file qtbase was configured with, in the scratch folder;
# it loads the copy beside itself instead, so the tree works wherever it lies.
relocate_toolchain() {
    local qt_cmake=$prefix/lib/cmake/Qt6
    # shellcheck disable=SC2016 # CMake expands the variable when it reads the file.
    local beside='"${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake"'
    local loads_beside="set(__qt_initially_configured_toolchain_file $beside)"
    cp "$work/mingw-w64-x86_64.cmake" "$qt_cmake/"
    sed -i "s|^set(__qt_initially_configured_toolchain_file .*)\$|$loads_beside|" \
        "$qt_cmake/qt.toolchain.cmake"
    grep -qxF "$loads_beside" "$qt_cmake/qt.toolchain.cmake" ||
        die "$qt_cmake/qt.toolchain.cmake does not name its toolchain file as expected"
}

install_qtcharts() { cmake --install "$work/build/qtcharts"; }

finish() {
    stamp_text >"$prefix/$stamp_name"
    rm -f "$prefix/$partial_name"
    rm -rf "$work"
}

# --- Main -------------------------------------------------------------------------------------

trap report_times EXIT
trap 'exit 1' INT TERM HUP
mapfile -t packages <"$checkout/scripts/windows-packages.txt"
step packages "$checkout/scripts/ensure-packages.sh" "${packages[@]}"

if [ -f "$prefix/$stamp_name" ] && [ "$(stamp_text)" = "$(cat "$prefix/$stamp_name")" ]; then
    echo "Qt $qt_version for Windows in $prefix is up to date."
    exit 0
fi
check_prefix_is_ours

mkdir -p "$work"
exec 9>"$work/.lock"
flock -n 9 || die "another run is using $work"
echo "Building Qt $qt_version for Windows into $prefix (scratch folder $work, $jobs jobs)"

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
step "source indices" prepare_private_apt
step "fetch qtbase" fetch_qtbase
step "fetch qtcharts" fetch_qtcharts
write_toolchain
step "configure qtbase" configure "$work/src/qtbase" "$work/build/qtbase" \
    "-DCMAKE_TOOLCHAIN_FILE=$work/mingw-w64-x86_64.cmake" "-DCMAKE_INSTALL_PREFIX=$prefix" \
    -DQT_HOST_PATH=/usr "-DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$multiarch/cmake" "${qtbase_features[@]}"
step "build qtbase" build "$work/build/qtbase"
step "install qtbase" install_qtbase
relocate_toolchain
step "configure qtcharts" configure "$work/src/qtcharts" "$work/build/qtcharts" \
    "-DCMAKE_TOOLCHAIN_FILE=$prefix/lib/cmake/Qt6/qt.toolchain.cmake" "${qtcharts_features[@]}"
step "build qtcharts" build "$work/build/qtcharts"
step "install qtcharts" install_qtcharts
finish
echo "Qt $qt_version for Windows is installed in $prefix."
