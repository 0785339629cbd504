#!/usr/bin/env bash
# Builds Tarvel and runs every test; fails when any test fails.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TARVEL_BUILD_DIR:-$ROOT/build}"

"$ROOT/scripts/setup.sh"
cd "$BUILD_DIR"
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)"
