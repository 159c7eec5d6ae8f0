#!/usr/bin/env bash
# Builds and starts Tensovia. Without TENSOVIA_COM1 set, COM1 is a bank of simulated transmitters
# (poll addresses 0 to 10) behind a pseudo-terminal; the simulator stops when the program exits.
# Installs what is missing on a fresh Debian 12 machine first.
set -euo pipefail
cd "$(dirname "$0")"

scripts/ensure-packages.sh $(cat scripts/build-packages.txt)

cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)" --target tensovia tensovia-sim

bin=build/dev
if [ -n "${TENSOVIA_COM1:-}" ]; then
    exec "$bin/app/tensovia" "$@"
fi

runtime=$(mktemp -d)
link="$runtime/COM1"
# The simulator reads commands on stdin (see README); keep a pipe open to it for the session.
mkfifo "$runtime/control"
"$bin/tools/simulator/tensovia-sim" --link "$link" --pace <"$runtime/control" >"$runtime/sim.out" &
sim=$!
exec 3>"$runtime/control"
cleanup() {
    echo quit >&3 2>/dev/null || true
    exec 3>&-
    wait "$sim" 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT INT TERM

for _ in $(seq 100); do
    [ -e "$link" ] && break
    sleep 0.05
done
echo "Simulated transmitters on $(readlink "$link"); control: echo 'silent 3' > $runtime/control"
TENSOVIA_COM1="$link" "$bin/app/tensovia" "$@"
