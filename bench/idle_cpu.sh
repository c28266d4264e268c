#!/usr/bin/env bash
# Starts the real program with no interface (demo state) and an empty home, lets it
# idle, and prints the CPU it used per thread, as a share of one core.
#   bench/idle_cpu.sh [--xvfb] [--runs N] [binary] [seconds]
# --xvfb shows the window on a virtual display of its own (as a user sees it, with the
# display server's round trips); without it the offscreen platform keeps a display
# server's work out of the figures. With several runs the whole program's median and
# range close the report.
# The figures come from the scheduler's own run time per thread (schedstat, in ns),
# not from the 10 ms sampling of utime/stime, which cannot see short wake-ups.
set -euo pipefail
xvfb=0
runs=1
while [ $# -gt 0 ]; do
    case $1 in
        --xvfb) xvfb=1; shift ;;
        --runs) runs=$2; shift 2 ;;
        *) break ;;
    esac
done
binary=${1:-build/tavrelia}
seconds=${2:-30}
pid=""
xvfb_pid=""
work=$(mktemp -d)
home=$work/home
cleanup() {
    [ -n "$pid" ] && { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }
    [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
    rm -rf "$work"
}
trap cleanup EXIT

if [ "$xvfb" = 1 ]; then
    # Xvfb picks a free display and writes its number once it takes clients.
    mkfifo "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r number <"$work/display" || true
    [ -n "$number" ] || { echo "idle_cpu.sh: no virtual display (is Xvfb installed?)" >&2; exit 2; }
    export DISPLAY=:$number QT_QPA_PLATFORM=xcb
else
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
fi

sample() {   # tid name run-time-ns wake-ups, one line per thread of process $1
    for task in /proc/"$1"/task/*; do
        local run wait slices
        read -r run wait slices <"$task/schedstat" 2>/dev/null || continue
        echo "${task##*/} $(tr ' ' '_' <"$task/comm") $run $slices"
    done
}

one_run() {   # prints the per-thread table; the last line is the whole program's share
    rm -rf "$home" && mkdir "$home"
    export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    "$binary" >/dev/null 2>&1 &
    pid=$!
    sleep 5   # start-up, the first link poll and the first open attempts
    local before after server_before=0 server_after=0
    before=$(sample "$pid")
    [ -n "$xvfb_pid" ] && server_before=$(sample "$xvfb_pid" | awk '{ s += $3 } END { print s }')
    sleep "$seconds"
    after=$(sample "$pid")
    [ -n "$xvfb_pid" ] && server_after=$(sample "$xvfb_pid" | awk '{ s += $3 } END { print s }')
    kill -KILL "$pid"; wait "$pid" 2>/dev/null || true; pid=""

    echo "CPU over ${seconds} s of idling, % of one core, and wake-ups per second:"
    join -o 1.1,1.2,1.3,1.4,2.3,2.4 <(sort <<<"$before") <(sort <<<"$after") |
        awk -v s="$seconds" '{
            ns = $5 - $3; total += ns
            printf "  %-8s %-16s %6.3f %%  %6.1f /s\n", $1, $2, ns / 1e7 / s, ($6 - $4) / s
        } END { printf "  %-25s %6.3f %%\n", "whole program", total / 1e7 / s }'
    if [ -n "$xvfb_pid" ]; then
        awk -v s="$seconds" -v a="$server_before" -v b="$server_after" \
            'BEGIN { printf "  %-25s %6.3f %%  (not counted above)\n", "display server", (b - a) / 1e7 / s }'
    fi
}

totals=()
for ((i = 1; i <= runs; ++i)); do
    one_run >"$work/report"
    cat "$work/report"
    totals+=("$(awk '/whole program/ { print $3 }' "$work/report")")
done
if [ "$runs" -gt 1 ]; then
    printf '%s\n' "${totals[@]}" | sort -g | awk -v n="$runs" '
        { v[NR] = $1 }
        END {
            m = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
            printf "whole program over %d runs: median %.3f %%, range %.3f .. %.3f %%\n", n, m, v[1], v[n]
        }'
fi
