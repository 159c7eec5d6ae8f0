#!/usr/bin/env bash
# Builds the benchmarks in a Release tree of their own (the preset "bench", build/bench) and runs
# them all: the micro-benchmarks of the hot paths, then tensovia-perf, which measures the whole
# program on pseudo-terminals. Installs what is missing on a fresh Debian 12 machine first. The
# figures go to the terminal and to build/bench/results.txt. About 25 minutes; --quick takes about 5.
#
#   bench/run.sh [--quick]
set -euo pipefail
cd "$(dirname "$0")/.."

quick=false
case "${1:-}" in
    --quick) quick=true ;;
    "") ;;
    *) echo "usage: bench/run.sh [--quick]" >&2; exit 2 ;;
esac

scripts/ensure-packages.sh $(cat scripts/build-packages.txt bench/packages.txt)

build=build/bench
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
perf="$build/bench/tensovia-perf"
if $quick; then
    micro=(--benchmark_min_time=0.1)
    sizes=(--transactions 200 --idle-seconds 10 --startups 5 --ticks 10 --trace-lines 1000000
        --trend-days 2 --scans 2)
else
    micro=()
    sizes=(--transactions 1000 --idle-seconds 60 --startups 20 --ticks 60 --trace-lines 10000000
        --trend-days 8 --scans 5)
fi

exec > >(tee "$build/results.txt") 2>&1
status=0
echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(uname -r)," \
    "commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo
echo "== Micro-benchmarks"
"$build/bench/tensovia-microbench" "${micro[@]}" || status=1
for scenario in latency idle startup registration trace-hidden trace trend scan; do
    echo
    echo "== tensovia-perf $scenario"
    "$perf" "$scenario" "${sizes[@]}" || status=1
done
exit $status
