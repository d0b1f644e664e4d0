#!/usr/bin/env bash
# Starts the real program and quits it with QUIT, many times in a row: every start shows the
# window, every quit returns status 0, and nothing is left running. Run under xvfb-run.
# usage: startstop.sh PROGRAM [TIMES]
set -euo pipefail
program=$1
times=${2:-50}
source "$(dirname "$0")/x11lib.sh"

started=()
for ((run = 1; run <= times; run++)); do
    "$program" &
    pid=$!
    started+=("$pid")
    window=$(wait_for_window '^QX9VEN General Class Theory$') || {
        kill -0 "$pid" 2>/dev/null && echo "(the program is running)" >&2
        xdotool search --name . 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done >&2
        fail "start $run showed no window"
    }
    client_origin "$window"
    xdotool mousemove "$((CLIENT_X + 660))" "$((CLIENT_Y + 484))" click 1
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "quit $run returned status $status"
done
for pid in "${started[@]}"; do
    kill -0 "$pid" 2>/dev/null && fail "program $pid is still running after $times starts and quits"
done
echo "$times starts and quits: every window shown, every exit status 0"
