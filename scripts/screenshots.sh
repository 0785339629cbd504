#!/usr/bin/env bash
# Screenshots of every screen of the program on the demo data, as a clerk
# sees them on a 1366x768 display with a window manager:
#     scripts/screenshots.sh [--window] FOLDER
# writes FOLDER/NN-name.png, one per screen of the tour (with --window only
# the screen's own window, as the manual shows it)
# (tools/screentour/screentour.cpp lists the screens and their states), and
# names on standard error whatever the layout checks find. Needs no display
# of its own: it runs a virtual one.
set -euo pipefail

WINDOW=()
if [[ "${1:-}" == "--window" ]]; then
    WINDOW=(--window)
    shift
fi
if [[ $# -ne 1 ]]; then
    echo "usage: scripts/screenshots.sh [--window] FOLDER" >&2
    exit 2
fi

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TARVEL_BUILD_DIR:-$ROOT/build}"
OUT="$(realpath -m "$1")"

"$ROOT/scripts/setup.sh"
cmake --build "$BUILD_DIR" --target tarvel-screenshots tarvel-admin >/dev/null

# A fresh demo workspace, so that every run shows the same data, dated
# around today.
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cat >"$WORK/TVL.INI" <<INI
[Access]
DSN=$WORK/tarvel.sqlite
UID=0

[User]
Name=株式会社デモ精工

[Print]
Output=pdf
Folder=$WORK/print
INI
"$BUILD_DIR/tools/tarvel-admin" demo "$WORK/tarvel.sqlite" >/dev/null

mkdir -p "$OUT"
cd "$WORK"
# Openbox frames the windows as a desktop would; the program grabs the
# whole display once each screen has settled.
xvfb-run -a -s "-screen 0 1366x768x24 -dpi 96" \
    env QT_QPA_PLATFORM=xcb LANG=C.UTF-8 BIN="$BUILD_DIR/tools/tarvel-screenshots" OUT="$OUT" \
    MODE="${WINDOW[*]}" \
    bash -c 'openbox >/dev/null 2>&1 & wm=$!; sleep 1; "$BIN" $MODE "$OUT"; status=$?; kill "$wm"; exit "$status"'
