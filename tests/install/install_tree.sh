#!/usr/bin/env bash
# install_tree.sh BUILD_DIR SOURCE_DIR: cmake --install into a temporary prefix, then checks the
# installed files with the desktop's validators and starts both programs from there.
# Exit 0 pass, 1 fail, 77 skipped (a tool it needs is not installed).
set -uo pipefail
build_dir=$1
source_dir=$2
. "$(dirname "$0")/checks.sh"

need_tool desktop-file-validate "package desktop-file-utils"
need_tool appstreamcli "package appstream"
cmake=${CMAKE:-cmake}
version=$(cache_value CMAKE_PROJECT_VERSION)
[ -n "$version" ] || skip "no project version in $build_dir/CMakeCache.txt"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
if ! "$cmake" --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  fail "cmake --install failed"
  finish
fi

check_tree "$prefix" "$prefix/share"
check_programs "$prefix"
finish
