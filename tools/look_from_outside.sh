#!/bin/sh
# A look from outside: prepares a state with the command line (a shape, the connection, Cut,
# then "Start convert", which saves it), starts the real window on it with "stvt3" on a
# virtual display, and saves PNGs of the whole window and of each dialog into OUT (default
# ./look). Run from the build folder: ../tools/look_from_outside.sh [OUT]
set -eu
"$(dirname "$0")/../scripts/install-deps.sh" xvfb
build=$(pwd)
out=$(realpath -m "${1:-look}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cp -r "$build/sample/." "$work/"
"$work/letterkerf-cli" --folder "$work" --shape 4 --H 6 --h 4 --connection --cut --convert >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$build/tools/window_snapshot" --token stvt3 "$work" "$out/" window \
    dialog:shape4 dialog:aperture dialog:presetting dialog:spacing dialog:yesno
ls "$out"
