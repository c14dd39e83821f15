#!/bin/sh
# The demo game folder in the two layouts its figures are taken on, for whole runs of the game:
# OUT/folder with every file under data/ (the pack unpacked into it, no pack), OUT/pack with every
# file in pack.boo (pictures and music stored, the rest compressed, no data/ files).
#   bench/demo_layouts.sh BUILD-FOLDER OUT     (e.g. build/release /tmp/orvex-layouts)
set -eu
build=$(cd "$1" && pwd)
out=$2
game="$build/orvex"
packtool="$build/tools/packtool"
rm -rf "$out"
mkdir -p "$out/folder" "$out/pack/data"
cp -R "$game/data" "$out/folder/data"
tab=$(printf '\t')
"$packtool" list "$game/pack.boo" | while IFS="$tab" read -r kind size path; do
    if [ "$kind" != folder ]; then
        mkdir -p "$(dirname "$out/folder/data/$path")"
        "$packtool" cat "$game/pack.boo" "$path" > "$out/folder/data/$path"
    fi
done
"$packtool" build "$out/folder/data" "$out/pack/pack.boo" --store '*.ogg' '*.png' '*.jpg'
for name in version.txt config.txt help; do
    cp -R "$game/$name" "$out/folder/"
    cp -R "$game/$name" "$out/pack/"
done
