#!/usr/bin/env bash
# Builds Thalwise (Release, into BUILD_DIR, default build), makes the Debian package with CPack
# into BUILD_DIR/packages/ and checks it with lintian, which must report no error.
# Prints the package's path on standard output; everything else goes to standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
scripts/deps.sh >&2
ASAN=0 BUILD_TYPE=Release BUILD_DIR="$build_dir" scripts/build.sh >&2
out="$(realpath "$build_dir")/packages"
rm -f "$out"/thalwise_*.deb
(cd "$build_dir" && cpack -G DEB -B "$out") >&2
debs=("$out"/thalwise_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package.sh: cpack made no single package in $out" >&2
  exit 1
fi
# Warnings are shown; the overrides in packaging/lintian-overrides say why each remaining one
# is right as it is.
lintian --fail-on error --info "${debs[0]}" >&2
echo "${debs[0]}"
