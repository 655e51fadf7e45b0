#!/bin/sh
# Screenshots of the shapes window and its dialogs on real screens: a virtual display of a
# common size under a window manager, at several scale factors and with a large system font.
# Prepares a state with the command line first (a shape, the connection, Cut, "Start convert"),
# then starts the real window on it with "stvt3". Saves OUT/<screen>-<setting>-<item>.png (default ./screens).
# Run from the build folder: ../tools/look_at_screens.sh [OUT]
set -eu
"$(dirname "$0")/../scripts/install-deps.sh" xvfb openbox x11-utils
build=$(pwd)
out=$(realpath -m "${1:-screens}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
cp -r "$build/sample/." "$work/"
"$work/letterkerf-cli" --folder "$work" --shape 4 --H 6 --h 4 --connection --cut --convert >/dev/null

# one look: SCREEN (WxH), NAME, then environment settings for the program
look() {
    screen=$1 name=$2
    shift 2
    xvfb-run -a -s "-screen 0 ${screen}x24 -dpi 96" sh -c '
        openbox >/dev/null 2>&1 &
        sleep 1
        env QT_QPA_PLATFORM=xcb "$@"' sh "$@" \
        "$build/tools/window_snapshot" --token stvt3 --screen "$work" "$out/$screen-$name-" window \
        dialog:shape4 dialog:aperture dialog:presetting dialog:spacing dialog:yesno
}

look 1920x1080 100 QT_SCALE_FACTOR=1
look 1920x1080 125 QT_SCALE_FACTOR=1.25
look 1920x1080 150 QT_SCALE_FACTOR=1.5
look 1920x1080 200 QT_SCALE_FACTOR=2
look 1366x768 100 QT_SCALE_FACTOR=1
look 1920x1080 font144 QT_FONT_DPI=144
ls "$out"
