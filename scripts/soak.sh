#!/usr/bin/env bash
# Soak run: registration of ten simulated transmitters at a period of one second, printing the
# program's resident memory and CPU (and the simulator's CPU) as it goes.
#
# Usage: scripts/soak.sh [MINUTES] [--seconds SECONDS] [--every SECONDS] [--check]
#                        [--driver PATH]
#   MINUTES     how long to run (default 30); --seconds gives the time in seconds instead
#   --every     seconds between two lines of figures (default: a thirtieth of the run, at least 5)
#   --check     end with status 1 when memory grew beyond what the trace takes, or when the
#               program kept a core busy (the bounds are explained in tests/faults/soak_main.cpp)
#   --driver    the built soak program (default build/dev/tests/faults/tensovia-soak, built
#               with the dev preset when missing)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=1800
driver=""
extra=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --every) extra+=(--every "$2"); shift 2 ;;
        --check) extra+=(--check); shift ;;
        --driver) driver=$2; shift 2 ;;
        *[!0-9]*|"") echo "usage: $0 [MINUTES] [--seconds S] [--every S] [--check] [--driver PATH]" >&2
                     exit 2 ;;
        *) seconds=$(( $1 * 60 )); shift ;;
    esac
done

if [ -z "$driver" ]; then
    driver=build/dev/tests/faults/tensovia-soak
    if [ ! -x "$driver" ]; then
        cmake --preset dev >/dev/null
        cmake --build --preset dev --target tensovia-soak
    fi
fi

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
echo "Soak: ten transmitters, period 1 s, $seconds s"
exec "$driver" "$seconds" "${extra[@]}"
