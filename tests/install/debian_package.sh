#!/usr/bin/env bash
# debian_package.sh BUILD_DIR SOURCE_DIR: makes the Debian package with cpack into a temporary
# folder, checks its control fields and file modes, unpacks it and checks the files as
# installed, runs lintian on it, and starts both programs from the unpacked tree.
# Exit 0 pass, 1 fail, 77 skipped (a tool it needs is not installed).
set -uo pipefail
build_dir=$1
source_dir=$2
. "$(dirname "$0")/checks.sh"

cpack=${CPACK:-cpack}
command -v "$cpack" >/dev/null 2>&1 || skip "cpack is not installed (package cmake)"
need_tool dpkg-deb "package dpkg"
need_tool readelf "package binutils"
need_tool dpkg-shlibdeps "package dpkg-dev; the package's dependencies come from it"
need_tool desktop-file-validate "package desktop-file-utils"
need_tool appstreamcli "package appstream"
version=$(cache_value CMAKE_PROJECT_VERSION)
[ -n "$version" ] || skip "no project version in $build_dir/CMakeCache.txt"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! (cd "$build_dir" && "$cpack" -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  fail "cpack failed"
  finish
fi
deb=$(find "$work/out" -maxdepth 1 -name 'thalwise_*.deb')
if [ "$(echo "$deb" | wc -w)" -ne 1 ]; then
  fail "cpack made no single package: ${deb:-none}"
  finish
fi
echo "package: $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = thalwise ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version-1" ] || fail "Version is '$(field Version)', not $version-1"
[ "$(field Maintainer)" = "The Thalwise developers <dev@thalwise.example.org>" ] ||
  fail "Maintainer is '$(field Maintainer)'"
[ "$(field Homepage)" = "https://thalwise.example.org/" ] || fail "Homepage is '$(field Homepage)'"
# dpkg-shlibdeps found the Qt libraries the programs link.
for library in libqt6widgets6 libqt6gui6 libqt6core6 libc6; do
  field Depends | grep -q "\b$library\b" || fail "Depends lacks $library: $(field Depends)"
done

# Owned by root; programs and directories 0755, everything else 0644.
dpkg-deb -c "$deb" | while read -r mode owner _ _ _ path _; do
  case "$mode" in
  d*) expected=drwxr-xr-x ;;
  *) case "$path" in ./usr/bin/*) expected=-rwxr-xr-x ;; *) expected=-rw-r--r-- ;; esac ;;
  esac
  [ "$owner" = root/root ] || echo "FAIL: $path is owned by $owner"
  [ "$mode" = "$expected" ] || echo "FAIL: $path has mode $mode, not $expected"
done >"$work/modes"
if [ -s "$work/modes" ]; then
  cat "$work/modes"
  fail "file owners or modes are wrong"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
for program in thalwise thalwise-cli; do
  # A symbol table left in means the programs were not stripped.
  if readelf -S "$root/usr/bin/$program" | grep -q '\.symtab'; then
    fail "usr/bin/$program is not stripped"
  fi
done
[ -f "$root/usr/share/doc/thalwise/changelog.Debian.gz" ] || fail "changelog.Debian.gz is missing"
[ -f "$root/usr/share/lintian/overrides/thalwise" ] || fail "the lintian overrides are missing"
check_tree "$root/usr" "$root/usr/share"

if ! command -v lintian >/dev/null 2>&1; then
  echo "lintian is not installed (package lintian): the lintian check is skipped"
elif [ "$(cache_value THALWISE_SANITIZE)" = ON ]; then
  echo "a sanitizer build is never packaged: the lintian check is skipped"
elif ! lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log"
  fail "lintian reports errors or warnings"
else
  grep -v 'running with root privileges' "$work/lintian.log"
fi

check_programs "$root/usr"
finish
