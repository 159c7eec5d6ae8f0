#!/usr/bin/env bash
# One session of the program through a simulator, on the Linux build and then on the Windows
# build under Wine with the simulator's pseudo-terminal as COM1 (tests/end_to_end): both must pass,
# and the request bytes the simulator logged must be the same for both.
# Usage: scripts/windows-end-to-end.sh [LINUX_TREE [WINDOWS_TREE]]   (build/dev, build/windows)
set -euo pipefail
cd "$(dirname "$0")/.."

linux=${1:-build/dev}
windows=${2:-build/windows}
simulator=$linux/tools/simulator/tensovia-sim
session_name=end-to-end
source scripts/simulator-session.sh
prefix=$scratch/wineprefix
on_exit 'WINEPREFIX=$prefix wineserver -k 2>/dev/null'

# The request frames of a wire log, without their times.
requests() {
    awk '$2 == "rx" { $1 = ""; print }' "$1"
}

# report NAME RESULT: the test's verdict and the figures it printed.
report() {
    { grep -E -A3 '^FAIL' "$2" || true; grep -E '^Totals|Start to row' "$2"; } | sed "s/^/$1: /"
    grep -q '^Totals: [0-9]* passed, 0 failed' "$2" || fail "the $1 build failed its session"
}

# A session on the simulator with slot 2 silent, its request frames in DIR/wire.log.
simulate() {
    start_simulator "$simulator" "$1" --log "$1/wire.log" --silent 2
}

simulate "$scratch/linux"
QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TENSOVIA_COM1=$pty \
    TENSOVIA_WIRE_LOG=$scratch/linux/wire.log \
    "$linux/tests/end_to_end/end_to_end_test" -o "$scratch/linux.txt,txt" || true
report linux "$scratch/linux.txt"

simulate "$scratch/windows"
if [ -d "$windows/wineprefix" ]; then
    cp -a "$windows/wineprefix" "$prefix"
fi
export QT_QPA_PLATFORM=offscreen
scripts/wine-run.sh "$prefix" reg add 'HKLM\Software\Wine\Ports' /v COM1 \
    /d "$pty" /f >/dev/null 2>&1
# Wine takes up the port mapping when its server starts again.
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
TENSOVIA_WIRE_LOG=Z:$scratch/windows/wire.log scripts/wine-run.sh "$prefix" \
    "$windows/tests/end_to_end/end_to_end_test.exe" -o "Z:$scratch/windows.txt,txt" || true
report windows "$scratch/windows.txt"

if ! diff <(requests "$scratch/linux/wire.log") <(requests "$scratch/windows/wire.log"); then
    fail "the Windows build sent other request bytes than the Linux build"
fi
echo "end-to-end: $(requests "$scratch/windows/wire.log" | wc -l) requests, the same bytes from both builds"
