#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through CTest.
# ASAN=1 builds with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
build_dir=${BUILD_DIR:-build}
[ "${ASAN:-0}" = "1" ] && build_dir=${BUILD_DIR:-build-asan}
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
