#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer on CHART or on the bundled sample chart.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
chart=${1:-}
if [ -z "$chart" ]; then
  chart=resources/samples/area-ne01.gif
fi
if [ -n "$chart" ]; then
  exec build/src/app/thalwise "$(realpath "$chart")"
else
  exec build/src/app/thalwise
fi
