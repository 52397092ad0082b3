#!/usr/bin/env bash
# Configures and builds Thalwise. BUILD_TYPE (default Release), BUILD_DIR (default build), ASAN=1 for sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
build_type=${BUILD_TYPE:-Release}
build_dir=${BUILD_DIR:-build}
extra=()
if [ "${ASAN:-0}" = "1" ]; then
  build_dir=${BUILD_DIR:-build-asan}
  build_type=${BUILD_TYPE:-RelWithDebInfo}
  extra+=(-DTHALWISE_SANITIZE=ON)
fi
# A compiler cache, where one is installed, makes rebuilds in other checkouts cheap.
if command -v ccache >/dev/null 2>&1; then
  extra+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "${extra[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
