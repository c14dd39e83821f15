#!/bin/sh
# The game thread's CPU use while the player does nothing: in the main menu and in the start
# location, on the real clock, headless. Prints the CPU seconds the main thread used per second
# of wall time, measured over a few seconds once the screen is up.
#   bench/idle_cpu.sh BUILD-FOLDER [SECONDS]     (e.g. build/release)
set -eu
build=$(cd "$1" && pwd)
seconds=${2:-4}
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ticks=$(getconf CLK_TCK)

# main-thread utime+stime in clock ticks
thread_ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/task/$1/stat"
}

measure() { # NAME SCRIPT SETTLE-SECONDS
    profile="$work/$1"
    mkdir -p "$profile"
    (cd "$build/orvex" && XDG_DATA_HOME="$profile" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
        ORVEX_INSTANCE="orvex-idle-$$-$1" ORVEX_MESSAGE_BOX=ok ORVEX_SEED=1 ORVEX_SCRIPT="$2" \
        exec ../game/orvexgame) >/dev/null 2>&1 &
    pid=$!
    sleep "$3"
    before=$(thread_ticks $pid)
    sleep "$seconds"
    after=$(thread_ticks $pid)
    kill -KILL $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
    awk -v a="$after" -v b="$before" -v s="$seconds" -v t="$ticks" -v n="$1" \
        'BEGIN { printf "%-10s %.3f s of CPU per second (%.0f%% of a core)\n", n, (a-b)/t/s, 100*(a-b)/t/s }'
}

printf '30 click 512 384\n100 click 512 384\n' > "$work/menu.txt"
measure menu "$work/menu.txt" 4
measure location "$here/tests/game/sessions/terminate_in_location.txt" 8
