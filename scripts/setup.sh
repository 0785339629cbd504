#!/usr/bin/env bash
# Installs the Debian packages Tarvel needs (only those missing) and builds
# the program into build/. Safe to run again and again.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TARVEL_BUILD_DIR:-$ROOT/build}"
BUILD_TYPE="${TARVEL_BUILD_TYPE:-RelWithDebInfo}"

PACKAGES=(
    # build
    cmake g++ make ccache
    qt6-base-dev qt6-base-dev-tools libgl-dev libzint-dev libpq-dev libsodium-dev pkgconf
    libxlsxwriter-dev
    # run: SQLite for one PC, a PostgreSQL server's client for several
    libqt6sql6-sqlite libqt6sql6-psql libpq5 libsodium23 qt6-qpa-plugins qt6-translations-l10n
    # import of the old Access database
    mdbtools
    # tests: a throwaway PostgreSQL server (scripts/pg-cluster.sh)
    postgresql
    # benchmarks: the bare sqlite3 C API for their baselines
    libsqlite3-dev
    fonts-ipafont-gothic fonts-ipafont-mincho
    # tests: a virtual display, PDF text and barcode reading
    xvfb xauth poppler-utils zbar-tools
    # screenshots (scripts/screenshots.sh): a window manager on the virtual display
    openbox
    # tests: the Excel files read back apart from the library that wrote them
    unzip
    # the package test: cpack's dependency list of the binaries
    dpkg-dev file
    # the manual (docs/manual): HTML from Markdown, and that HTML as an A4 PDF
    pandoc weasyprint
    # the picture of the layers in docs/ (scripts/layers.sh)
    graphviz
)

missing=()
for pkg in "${PACKAGES[@]}"; do
    status="$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)"
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$pkg")
    fi
done

if ((${#missing[@]} > 0)); then
    echo "setup: installing ${missing[*]}"
    # sudo drops the environment, so the frontend setting goes on the command.
    if [[ "$(id -u)" -eq 0 ]]; then
        AS_ROOT=(env DEBIAN_FRONTEND=noninteractive)
    elif command -v sudo >/dev/null 2>&1; then
        AS_ROOT=(sudo env DEBIAN_FRONTEND=noninteractive)
    else
        echo "setup: these packages are missing and neither root nor sudo is available:" >&2
        echo "       ${missing[*]}" >&2
        exit 1
    fi
    "${AS_ROOT[@]}" apt-get update
    "${AS_ROOT[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Set by scripts that only need the packages and build a tree of their own.
if [[ "${TARVEL_SKIP_BUILD:-}" == 1 ]]; then
    exit 0
fi

export CCACHE_BASEDIR="$ROOT"
# Worktrees of one repository share cached objects despite their debug paths.
export CCACHE_NOHASHDIR=1
jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE="$BUILD_TYPE" >/dev/null
cmake --build "$BUILD_DIR" -j"$jobs"
