# Sourced by the scripts that run the program on simulated transmitters (check-package.sh,
# check-package-windows.sh, windows-end-to-end.sh): a scratch folder and the processes started for
# the run, both gone when the script exits, and fresh simulators.
#
#   session_name=NAME; source scripts/simulator-session.sh
#   fail TEXT...                        prints "NAME: TEXT" and exits 1
#   on_exit COMMAND...                  runs COMMAND at exit, before the processes are ended
#   start_simulator SIM DIR [ARGS...]   starts the simulator SIM with ARGS, its control pipe
#                                       DIR/control kept open and its output in DIR/sim.out, waits
#                                       for its pseudo-terminal and sets `pty` to the path
#   await_port_opened PID [LOG]         waits until the process PID holds `pty` open; fails when
#                                       it ends first (showing LOG) or does not open it
#
# A fresh simulator for each run: a pseudo-terminal that a killed run left at odd parity refuses
# the program's settings.

scratch=$(mktemp -d)
pids=()
exit_commands=()

session_cleanup() {
    local command pid
    for command in ${exit_commands[@]+"${exit_commands[@]}"}; do
        eval "$command" || true
    done
    for pid in ${pids[@]+"${pids[@]}"}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap session_cleanup EXIT

fail() {
    echo "$session_name: $*" >&2
    exit 1
}

on_exit() {
    exit_commands+=("$*")
}

start_simulator() {
    local simulator=$1 dir=$2 control
    shift 2
    mkdir -p "$dir"
    mkfifo "$dir/control"
    # The output file is there before the simulator opens its control pipe, which waits for
    # the writer below.
    : >"$dir/sim.out"
    "$simulator" "$@" <"$dir/control" >>"$dir/sim.out" &
    pids+=($!)
    exec {control}>"$dir/control"
    # Bounds for a loaded machine; the loop ends as soon as the line is there.
    pty=""
    for _ in $(seq 200); do
        pty=$(sed -n 's/^slave: //p' "$dir/sim.out")
        [ -n "$pty" ] && return
        sleep 0.05
    done
    fail "the simulator named no pseudo-terminal: $(cat "$dir/sim.out")"
}

await_port_opened() {
    local program=$1 log=${2:-/dev/null} fd
    for _ in $(seq 300); do
        kill -0 "$program" 2>/dev/null || fail "the program ended: $(cat "$log")"
        for fd in /proc/"$program"/fd/*; do
            [ "$(readlink "$fd" 2>/dev/null)" = "$pty" ] && return
        done
        sleep 0.1
    done
    fail "the program did not open COM1 ($pty)"
}
