#!/bin/sh
# The game from its start to the first frame of the menu, against the floor program (an SDL2 and
# OpenGL program that opens the same window, context and audio, clears and swaps once), headless,
# run in turn and paired: wall time and peak memory of each run, medians.
#   bench/start_figure.sh BUILD-FOLDER [RUNS]     (e.g. build/release; needs GNU time, the
#   Debian package "time")
set -eu
build=$(cd "$1" && pwd)
runs=${2:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy

# one run: prints "wall-seconds peak-KiB"
measure() {
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>&1
    cat "$work/time"
}

game() {
    rm -rf "$work/profile"
    (cd "$build/orvex" && XDG_DATA_HOME="$work/profile" ORVEX_INSTANCE="orvex-start-$$" \
        ORVEX_END=first-frame measure ../game/orvexgame)
}

: > "$work/game"
: > "$work/floor"
game >/dev/null # a warm-up each, not counted
measure "$build/bench/start_floor" >/dev/null
i=0
while [ $i -lt "$runs" ]; do
    game >> "$work/game"
    measure "$build/bench/start_floor" >> "$work/floor"
    i=$((i + 1))
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
gw=$(cut -d' ' -f1 "$work/game" | median)
gm=$(cut -d' ' -f2 "$work/game" | median)
fw=$(cut -d' ' -f1 "$work/floor" | median)
fm=$(cut -d' ' -f2 "$work/floor" | median)
awk -v gw="$gw" -v gm="$gm" -v fw="$fw" -v fm="$fm" 'BEGIN {
    printf "game  %.3f s  %.1f MiB\nfloor %.3f s  %.1f MiB\nratio %.2f in time, %.2f in peak memory\n",
           gw, gm / 1024, fw, fm / 1024, gw / fw, gm / fm }'
