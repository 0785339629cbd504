#!/usr/bin/env bash
# The clerk's manual (docs/manual/*.md) as HTML and PDF:
#     scripts/manual.sh             # build/manual/manual.html and manual.pdf
#     scripts/manual.sh --pictures  # first takes docs/manual/images/*.png anew
# The pictures are the screen tour's windows (tools/screentour), taken on the
# demo data by scripts/screenshots.sh; retake them after a screen changes and
# look at the diff before committing. The normal build makes the HTML and
# PDF too (target `manual`), from the pictures in the repository.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TARVEL_BUILD_DIR:-$ROOT/build}"

if [[ "${1:-}" == "--pictures" ]]; then
    SHOTS="$(mktemp -d)"
    trap 'rm -rf "$SHOTS"' EXIT
    "$ROOT/scripts/screenshots.sh" --window "$SHOTS"
    IMAGES="$ROOT/docs/manual/images"
    rm -f "$IMAGES"/*.png
    for shot in "$SHOTS"/[0-9][0-9]-*.png; do
        name="$(basename "$shot")"
        # 64 colours keep a screen's text sharp at a fraction of the size.
        convert "$shot" -strip -colors 64 "PNG8:$IMAGES/${name#[0-9][0-9]-}"
    done
elif [[ $# -ne 0 ]]; then
    echo "usage: scripts/manual.sh [--pictures]" >&2
    exit 2
fi

"$ROOT/scripts/setup.sh"
cmake --build "$BUILD_DIR" --target manual
echo "manual: $BUILD_DIR/manual/manual.html, $BUILD_DIR/manual/manual.pdf"
