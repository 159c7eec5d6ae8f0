#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine: wine-run.sh PREFIX PROGRAM [ARGUMENTS...]
# PREFIX is a Wine prefix of the build tree's own, made on first use (one process makes it while
# the others wait). Qt's and the MinGW runtime's DLLs are found through WINEPATH; Wine's own
# diagnostics are off unless WINEDEBUG is set.
#
# Wine keeps the QT_ variables of the Linux environment from Windows programs, so that a Linux
# Qt's settings cannot mislead them. Those the Windows build needs (its plugins, the fonts the
# offscreen platform draws with, QT_QPA_PLATFORM as the caller has it) go into the prefix's user
# environment instead, whenever they change.
set -euo pipefail
prefix=$1
shift

qt=${TENSOVIA_QT_WINDOWS:-${XDG_CACHE_HOME:-$HOME/.cache}/tensovia/qt-6.4.2-mingw64}
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPATH="Z:$qt/bin;Z:/usr/lib/gcc/x86_64-w64-mingw32/12-posix;Z:/usr/x86_64-w64-mingw32/lib"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)

qt_environment=(
    "QT_PLUGIN_PATH=Z:$qt/plugins"
    "QT_QPA_FONTDIR=Z:/usr/share/fonts/truetype/dejavu"
    "QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-}"
)
stamp=$prefix/tensovia-environment
if [[ ! -f $prefix/system.reg || "$(cat "$stamp" 2>/dev/null)" != "${qt_environment[*]}" ]]; then
    mkdir -p "$prefix"
    (
        flock 9
        if [[ ! -f $prefix/system.reg ]]; then
            "$wine" wineboot -i >/dev/null 2>&1
        fi
        if [[ "$(cat "$stamp" 2>/dev/null)" != "${qt_environment[*]}" ]]; then
            for variable in "${qt_environment[@]}"; do
                if [[ -n ${variable#*=} ]]; then
                    "$wine" reg add 'HKCU\Environment' /v "${variable%%=*}" /d "${variable#*=}" /f
                else
                    "$wine" reg delete 'HKCU\Environment' /v "${variable%%=*}" /f || true
                fi
            done >/dev/null 2>&1
            echo "${qt_environment[*]}" >"$stamp"
        fi
        wineserver -w
    ) 9>"$prefix.lock"
fi
exec "$wine" "$@"
