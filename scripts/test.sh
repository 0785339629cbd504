#!/usr/bin/env bash
# Builds Tarvel and runs every test; fails when any test fails. The tests
# that run a second time on PostgreSQL (label postgresql) use a throwaway
# server started here and removed again on every exit.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${TARVEL_BUILD_DIR:-$ROOT/build}"

"$ROOT/scripts/setup.sh"

PG_DIR="$(mktemp -u -d /tmp/tarvel-pg.XXXXXX)"
trap '"$ROOT/scripts/pg-cluster.sh" stop "$PG_DIR"' EXIT
TARVEL_TEST_PG_DSN="$("$ROOT/scripts/pg-cluster.sh" start "$PG_DIR")"
export TARVEL_TEST_PG_DSN

cd "$BUILD_DIR"
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)" "$@"
