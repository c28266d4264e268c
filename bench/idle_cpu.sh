#!/usr/bin/env bash
# Starts the real program with no interface (demo state) and an empty home, lets it
# idle, and prints the CPU it used per thread, as a share of one core.
#   bench/idle_cpu.sh [binary] [seconds]
# The figures come from the scheduler's own run time per thread (schedstat, in ns),
# not from the 10 ms sampling of utime/stime, which cannot see short wake-ups.
set -euo pipefail
binary=${1:-build/tavrelia}
seconds=${2:-30}
home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# The offscreen platform keeps a display server's work out of the figures.
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$binary" >/dev/null 2>&1 &
pid=$!
sleep 5   # start-up, the first link poll and the first open attempts

sample() {   # tid name run-time-ns wake-ups, one line per thread
    for task in /proc/"$pid"/task/*; do
        local run wait slices
        read -r run wait slices <"$task/schedstat" 2>/dev/null || continue
        echo "${task##*/} $(tr ' ' '_' <"$task/comm") $run $slices"
    done
}
before=$(sample)
sleep "$seconds"
after=$(sample)

echo "CPU over ${seconds} s of idling, % of one core, and wake-ups per second:"
join -o 1.1,1.2,1.3,1.4,2.3,2.4 <(sort <<<"$before") <(sort <<<"$after") |
    awk -v s="$seconds" '{
        ns = $5 - $3; total += ns
        printf "  %-8s %-16s %6.3f %%  %6.1f /s\n", $1, $2, ns / 1e7 / s, ($6 - $4) / s
    } END { printf "  %-25s %6.3f %%\n", "whole program", total / 1e7 / s }'
