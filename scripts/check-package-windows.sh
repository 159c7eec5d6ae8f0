#!/usr/bin/env bash
# Checks the Windows installer and zip as a user would meet them, under Wine in a fresh prefix of
# its own: builds both from a Windows build tree (default build/windows), installs silently,
# checks the installed files and the Start-menu entries, starts the installed program from its
# Start-menu entry on COM1 mapped to a fresh simulator for a few seconds (it must stay up, open
# COM1 and read Qt's Russian texts), uninstalls silently and checks that nothing installed is
# left; the zip must hold the same files as the installer.
# Usage: scripts/check-package-windows.sh [BUILD_TREE]
#   TENSOVIA_SIM  the simulator, a Linux build (default build/dev/tools/simulator/tensovia-sim)
set -euo pipefail
cd "$(dirname "$0")/.."

tree=${1:-build/windows}
sim=${TENSOVIA_SIM:-build/dev/tools/simulator/tensovia-sim}
session_name=check-package-windows
source scripts/simulator-session.sh
[ -x "$sim" ] || fail "no simulator at $sim: build the target tensovia-sim of a Linux tree, or set TENSOVIA_SIM"

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX=$scratch/prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers to offer, and no menu entries or file associations for the desktop
# of the machine that runs the check.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The installed program finds its DLLs, plugins and translations by itself or not at all; without
# a display Wine shows no window; the Start-menu entry's Cyrillic name passes as UTF-8.
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM_PLUGIN_PATH QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY
export LC_ALL=C.UTF-8

on_exit '[ ! -d "$WINEPREFIX" ] || "$wineserver" -k 2>/dev/null'

installer="" zip=""
while read -r built; do
    case "$built" in
        *-win64.exe) installer=$built ;;
        *-win64.zip) zip=$built ;;
    esac
done < <(scripts/package-windows.sh --from "$tree" --to "$scratch")
if [ -z "$installer" ] || [ -z "$zip" ]; then
    fail "scripts/package-windows.sh made no installer and zip"
fi
for file in "$installer" "$zip"; do
    echo "$(basename "$file"): $(stat -c %s "$file") bytes"
done

"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -w
"$wine" "$installer" /S || fail "the installer failed ($?)"
"$wineserver" -w

installed="$WINEPREFIX/drive_c/Program Files/Tensovia"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Тенсовия"
echo "Installed into C:\\Program Files\\Tensovia:"
(cd "$installed" && find . -type f -printf '  %s\t%P\n' | sort -k2)
for file in tensovia.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Charts.dll \
    platforms/qwindows.dll styles/qwindowsvistastyle.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll \
    qt.conf translations/qtbase_ru.qm Uninstall.exe; do
    [ -f "$installed/$file" ] || fail "the installer did not install $file"
done
version=$(basename "$installer" -win64.exe)
version=${version#tensovia-}
exe_version=$(strings -el -n 3 "$installed/tensovia.exe" | grep -A1 -x ProductVersion | tail -1)
[ "$exe_version" = "$version" ] ||
    fail "the version resource of tensovia.exe names ${exe_version:-no version}, not $version"
headers=$(x86_64-w64-mingw32-objdump -p "$installed/tensovia.exe")
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" ||
    fail "tensovia.exe is a console program: a console window would open beside it"
# 14 (0x0e), the resource type of an icon group.
grep -q '^[0-9a-f]*   Entry: ID: 0x00000e,' <<<"$headers" || fail "tensovia.exe has no icon"
echo "tensovia.exe: a window program with an icon, version $exe_version"
for link in Тенсовия.lnk Удалить.lnk; do
    [ -f "$menu/$link" ] || fail "the Start-menu folder Тенсовия lacks $link"
done
echo "Start menu: Тенсовия\\Тенсовия, Тенсовия\\Удалить"
grep -qF 'Uninstall\\Tensovia]' "$WINEPREFIX/system.reg" ||
    fail "the uninstaller is not among the installed programs"
mapfile -t installed_files < <(find "$installed" "$menu" -type f)

mkdir "$scratch/zip"
(cd "$scratch/zip" && cmake -E tar xf "$zip")
unpacked="$scratch/zip/$(basename "$zip" .zip)"
[ -d "$unpacked" ] || fail "the zip does not unpack into $(basename "$unpacked")"
diff -r --exclude=Uninstall.exe "$installed" "$unpacked" >&2 ||
    fail "the zip does not hold the installed files"
echo "The zip holds the same files."

start_simulator "$sim" "$scratch/simulator"
"$wine" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$pty" /f >/dev/null
"$wineserver" -k
"$wineserver" -w

# Qt for Windows reads a translation into memory rather than mapping it, so Wine's trace of file
# calls shows the program reading qtbase_ru.qm where /proc/PID/maps would not.
WINEDEBUG=-all,+file "$wine" start /unix "$menu/Тенсовия.lnk" 2>"$scratch/trace"
program=""
for _ in $(seq 200); do
    for pid in $(pgrep -f 'Tensovia\\tensovia\.exe' || true); do
        grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && program=$pid
    done
    [ -n "$program" ] && break
    sleep 0.05
done
[ -n "$program" ] || fail "the Start-menu entry started no tensovia.exe"
pids+=("$program")
await_port_opened "$program"
# The translation opened from the program's folder and read whole through that handle, all on
# the thread that opened it (each line of the trace starts with the thread's number).
qm_size=$(stat -c %s "$installed/translations/qtbase_ru.qm")
awk -v size="$qm_size" '
    { split($0, field, ":"); thread = field[1] }
    /CreateFileW L".*\\\\Tensovia\\\\translations\\\\qtbase_ru\.qm"/ { opener = thread; next }
    thread != opener { next }
    /CreateFileW returning/ { handle = $NF; next }
    handle != "" && $0 ~ ("ReadFile " handle " [0-9A-F]+ " size " ") { reading = 1; next }
    reading && $0 ~ ("NtReadFile = SUCCESS \\(" size "\\)") { read = 1; exit }
    END { exit !read }' "$scratch/trace" ||
    fail "the program did not read translations\\qtbase_ru.qm of its folder"
sleep 3
kill -0 "$program" 2>/dev/null || fail "the program ended"
echo "The installed program ran for 3 s on the simulator, COM1 opened, Qt's texts in Russian."
kill "$program"
"$wineserver" -k
"$wineserver" -w

"$wine" "$installed/Uninstall.exe" /S || fail "the uninstaller failed ($?)"
# The uninstaller runs on from a copy of itself; the prefix is quiet when it is done.
"$wineserver" -w
left=()
for file in "${installed_files[@]}" "$installed" "$menu"; do
    [ -e "$file" ] && left+=("${file#"$WINEPREFIX/"}")
done
[ ${#left[@]} -eq 0 ] || fail "the uninstaller left ${left[*]}"
! grep -i 'tensovia' "$WINEPREFIX"/*.reg >&2 || fail "the uninstaller left registry keys"
echo "The uninstaller removed the program's folder, its Start-menu entries and registry keys."
echo "check-package-windows: $(basename "$installer") and $(basename "$zip") install, run on COM1 in Russian and uninstall."
