#!/usr/bin/env bash
# Builds the receive-path fuzzer with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and fuzzes from the seed corpus in fuzz/corpus. Inputs that find new paths are kept in the
# build directory's corpus/, never in the repository; an input that breaks something is written
# to its artifacts/ and ends the run with a non-zero status. libFuzzer's output is shown and kept
# in fuzz.log in the build directory; the last line sums the run up: inputs, speed, coverage,
# peak memory, findings.
#
# Usage: fuzz/run.sh [-j WORKERS] [-n INPUTS] [SECONDS] [--] [libFuzzer options...]
#   SECONDS     stop after this many seconds (default 600; with -n and no SECONDS, no limit)
#   -n INPUTS   stop after this many inputs (libFuzzer's -runs)
#   -j WORKERS  fuzz in this many processes at once (libFuzzer's -fork; default 1, one process).
#               libFuzzer then runs jobs of up to five minutes each on parts of the corpus and
#               merges what they find into it; the first finding ends the run unless
#               -ignore_crashes=1 is among the libFuzzer options.
# The build is the preset "fuzz" (build/fuzz); FUZZ_BUILD_DIR chooses another directory for it.
#
#   fuzz/run.sh 60 -seed=1                      # a minute, as ./test.sh does
#   nice -n 19 fuzz/run.sh -j 2 -n 10000000 -- -ignore_crashes=1   # ten million inputs, two processes
set -euo pipefail
cd "$(dirname "$0")/.."

workers=1
inputs=
while getopts "j:n:" option; do
    case $option in
        j) workers=$OPTARG ;;
        n) inputs=$OPTARG ;;
        *) sed -n '9,16p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
seconds=$([[ -n $inputs ]] && echo 0 || echo 600)
if [[ $# -gt 0 && $1 != -* ]]; then
    seconds=$1
    shift
fi
[[ ${1-} == -- ]] && shift
build=${FUZZ_BUILD_DIR:-build/fuzz}

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build" -j "$(nproc)" --target receive_path_fuzzer

mkdir -p "$build/corpus" "$build/artifacts"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8
# New inputs go to the first directory; the seed corpus is only read.
# No leak scan after each input: Qt's font and layout caches grow now and then, each growth
# would cost a full scan (fourteen times fewer inputs a second), and fontconfig's one-off
# start-up allocation would be reported. The sanitizer run of ./test.sh replays the corpus with
# leak detection.
# Inputs of at most 2 KB. The longest seed, a poll of ten transmitters with line noise between
# the answers, takes 1.4 KB; 2 KB hold two polls of the longest answers the receive buffer takes,
# or enough short answers to make the harness's trace drop its oldest lines. Every answer
# starts the collector afresh, so longer inputs repeat what shorter ones reach, while every
# byte costs time: libFuzzer's own limit grows to 4 KB, and the speed falls with it.
options=(-max_total_time="$seconds" -max_len=2048 -detect_leaks=0 -print_final_stats=1
    -artifact_prefix="$build/artifacts/")
[[ -n $inputs ]] && options+=(-runs="$inputs")
[[ $workers -gt 1 ]] && options+=(-fork="$workers")

log=$build/fuzz.log
usage=$build/fuzz.usage
started=$build/fuzz.started
touch "$started"
# GNU time gives the time taken and the peak resident memory of the fuzzer and of every job it
# ran.
set +e
/usr/bin/time -f "%e %M" -o "$usage" \
    "$build/fuzz/receive_path_fuzzer" "$build/corpus" fuzz/corpus "${options[@]}" "$@" 2>&1 |
    tee "$log"
status=${PIPESTATUS[0]}
set -e

# The summary, from libFuzzer's last progress line (one process: "#N ... cov: C ft: F corp: K/..",
# workers: "#N: cov: C ft: F corp: K ...") and its closing lines.
findings=$(find "$build/artifacts" -type f -newer "$started" | sort)
read -r seconds peak < <(tail -n 1 "$usage" 2>/dev/null || echo "0 0")
awk -v status="$status" -v seconds="$seconds" -v peak="$peak" -v findings="$findings" '
    /^#[0-9]+:?[ \t]/ && / cov: / {
        runs = substr($1, 2) + 0
        for (i = 2; i < NF; ++i) {
            if ($i == "cov:") cov = $(i + 1)
            if ($i == "ft:") ft = $(i + 1)
            if ($i == "corp:") { corp = $(i + 1); sub("/.*", "", corp) }
        }
    }
    /^Done [0-9]+ runs in / { runs = $2 }
    (/^==[0-9]+==ERROR: / || /^receive path: / || /runtime error: /) && !cause { cause = $0 }
    END {
        speed = seconds > 0 ? sprintf("%.0f", runs / seconds) : "?"
        printf "%d inputs in %d s (%s a second), cov %s ft %s, corpus %s, peak RSS %d MB, ",
            runs, seconds, speed, cov, ft, corp, peak / 1024
        n = split(findings, files, "\n")
        if (n > 0) {
            printf "%d finding(s): %s", n, files[1]
            if (cause) printf " (%s)", cause
        } else if (status != 0) {
            printf "failed with status %d", status
            if (cause) printf " (%s)", cause
        } else {
            printf "no findings"
        }
        printf "\n"
    }' "$log"
exit "$status"
