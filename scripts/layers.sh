#!/usr/bin/env bash
# Draws the layers, the program's libraries and what each links, from
# CMake's own graph into docs/layers.svg (needs graphviz; scripts/setup.sh
# installs it). Run it after a change of what a library links.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Only the program's own libraries and executables: no Qt or system
# libraries, no tests, benchmarks or the build's helper targets.
cat > "$work/CMakeGraphVizOptions.cmake" <<'OPTIONS'
set(GRAPHVIZ_EXTERNAL_LIBS OFF)
set(GRAPHVIZ_GENERATE_PER_TARGET OFF)
set(GRAPHVIZ_GENERATE_DEPENDERS OFF)
set(GRAPHVIZ_IGNORE_TARGETS "_layers$;_autogen;^tarvel_screentour$;^tarvel-screenshots$")
OPTIONS
cmake -S "$ROOT" -B "$work" -DBUILD_TESTING=OFF -DTARVEL_BUILD_BENCH=OFF \
      --graphviz="$work/layers.dot" > /dev/null
# CMake's legend of every kind of target says little here: only static
# libraries and two programs appear.
sed '/^subgraph clusterLegend {/,/^}/d' "$work/layers.dot" | dot -Tsvg -o "$ROOT/docs/layers.svg"
echo "docs/layers.svg written"
