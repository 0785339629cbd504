#!/usr/bin/env bash
# Builds a Debug build with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-sanitize/ and runs every test in it: memory errors and
# undefined behaviour that a normal build lets pass stop the test here.
# It runs on SQLite only: the PostgreSQL runs (label postgresql) are
# scripts/test.sh's, and the code over libpq is the same in both builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TARVEL_SANITIZE_BUILD_DIR:-$ROOT/build-sanitize}"

# Packages come from the normal set-up; it also builds the normal tree.
TARVEL_SKIP_BUILD=1 "$ROOT/scripts/setup.sh"

export CCACHE_BASEDIR="$ROOT"
jobs="$(nproc 2>/dev/null || echo 2)"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Debug -DTARVEL_SANITIZE=ON \
    -DTARVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$BUILD_DIR" -j"$jobs"

# Leaks of the toolkit's own caches at exit are not what this run looks for.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$BUILD_DIR"
ctest --output-on-failure -j"$jobs" -LE postgresql
