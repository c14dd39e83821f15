#!/bin/sh
# Builds a pack of a generated folder with packtool, then reads every file back with
# "packtool cat" and checks that "packtool list" names every file with its packing.
# Usage: packtool_roundtrip.sh PACKTOOL SOURCE_DIR
set -eu

packtool=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "packtool_roundtrip: $*" >&2
    exit 1
}

tree="$work/tree"
mkdir -p "$tree/bin/deep/er" "$tree/with space"
cp -R "$source/engine" "$tree/engine"
head -c 300000 /dev/urandom >"$tree/bin/noise.bin"
head -c 70000 /dev/urandom >"$tree/bin/deep/er/more noise.dat"
: >"$tree/empty.txt"
: >"$tree/bin/empty.bin"
printf 'lantern key map\n' >"$tree/with space/file name.txt"
(cd "$tree" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$work/files"

"$packtool" build "$tree" "$work/pack.boo" --store '*.bin' 'engine/*.h'
"$packtool" list "$work/pack.boo" >"$work/list"

# Every file reads back byte for byte.
while IFS= read -r file; do
    "$packtool" cat "$work/pack.boo" "$file" >"$work/out"
    cmp "$work/out" "$tree/$file" || fail "$file differs"
done <"$work/files"

# The list names every file and nothing else; folders come as folders.
grep -v '^folder	' "$work/list" | cut -f3- | LC_ALL=C sort >"$work/listed"
diff "$work/files" "$work/listed" || fail "the list differs from the folder"
grep -qxF 'folder	0	bin/deep/er' "$work/list" || fail "folder bin/deep/er not listed"

# Stored as the globs say, compressed otherwise.
grep -qxF 'stored	300000	bin/noise.bin' "$work/list" || fail "noise.bin not stored"
grep -qxF 'stored	0	bin/empty.bin' "$work/list" || fail "empty.bin not stored"
grep -qxF 'bzip2	70000	bin/deep/er/more noise.dat' "$work/list" || fail "more noise.dat"
grep -qxF 'bzip2	0	empty.txt' "$work/list" || fail "empty.txt not compressed"
grep -q '^stored	[0-9]*	engine/FileSystem\.h$' "$work/list" || fail "FileSystem.h not stored"
grep -q '^bzip2	[0-9]*	engine/FileSystem\.cpp$' "$work/list" || fail "FileSystem.cpp stored"

# Backslash names find the same entry.
"$packtool" cat "$work/pack.boo" 'with space\file name.txt' >"$work/out"
cmp "$work/out" "$tree/with space/file name.txt" || fail "backslash name"

# Exit codes: 2 for usage errors, 1 for failures, and a failed build leaves no pack.
status() {
    set +e
    "$@" >/dev/null 2>&1
    echo $?
    set -e
}
[ "$(status "$packtool")" = 2 ] || fail "no arguments"
[ "$(status "$packtool" build "$tree")" = 2 ] || fail "build without output"
[ "$(status "$packtool" build "$tree" "$work/x.boo" --store)" = 2 ] || fail "--store alone"
[ "$(status "$packtool" build "$tree" "$work/x.boo" --stor '*.h')" = 2 ] || fail "bad option"
[ "$(status "$packtool" frobnicate a b)" = 2 ] || fail "unknown command"
[ "$(status "$packtool" cat "$work/pack.boo" missing.txt)" = 1 ] || fail "missing entry"
[ "$(status "$packtool" cat "$work/pack.boo" bin)" = 1 ] || fail "folder entry"
[ "$(status "$packtool" list "$work/missing.boo")" = 1 ] || fail "missing pack"
[ "$(status "$packtool" build "$work/no-such-folder" "$work/x.boo")" = 1 ] || fail "no folder"
[ ! -e "$work/x.boo" ] || fail "a failed build left a pack"
head -c 100 "$work/pack.boo" >"$work/cut.boo"
[ "$(status "$packtool" list "$work/cut.boo")" = 1 ] || fail "corrupt pack"

echo "packtool round trip: $(wc -l <"$work/files") files"
