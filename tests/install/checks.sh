# Checks shared by the installation and package tests; sourced, not run.
# Each check prints "FAIL: ..." and counts the failure; the test ends with finish.

SKIP=77
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

skip() {
  echo "SKIPPED: $*"
  exit "$SKIP"
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
  exit 0
}

need_tool() {
  command -v "$1" >/dev/null 2>&1 || skip "$1 is not installed ($2)"
}

# The project version and the build's settings, read from the build tree's cache.
cache_value() {
  sed -n "s/^$1:[A-Z]*=//p" "$build_dir/CMakeCache.txt" | head -n 1
}

# A PNG's width and height (IHDR, bytes 16..23), as "W H".
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'
}

# check_tree ROOT SHARE: everything the installation puts down, under ROOT (bin in ROOT/bin,
# data in SHARE).
check_tree() {
  local root=$1 share=$2
  for program in thalwise thalwise-cli; do
    [ -x "$root/bin/$program" ] || fail "bin/$program is missing or not executable"
  done

  local desktop=$share/applications/org.example.Thalwise.desktop
  local metainfo=$share/metainfo/org.example.Thalwise.metainfo.xml
  if [ -f "$desktop" ]; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
    local exec icon
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -x "$root/bin/$exec" ] || fail "the desktop file starts '$exec', which is not installed"
    [ -f "$share/icons/hicolor/48x48/apps/$icon.png" ] ||
      fail "the desktop file's icon '$icon' is not installed"
    grep -qx 'MimeType=image/gif;' "$desktop" || fail "the desktop file does not open GIF charts"
  else
    fail "desktop file missing: $desktop"
  fi

  if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
    grep -q "<release version=\"$version\"" "$metainfo" ||
      fail "the metainfo's release is not the project version $version"
    grep -q '<launchable type="desktop-id">org.example.Thalwise.desktop</launchable>' "$metainfo" ||
      fail "the metainfo does not launch the installed desktop file"
  else
    fail "metainfo missing: $metainfo"
  fi

  local size file
  for size in 16 22 24 32 48 64 128 256 512; do
    file=$share/icons/hicolor/${size}x${size}/apps/org.example.Thalwise.png
    if [ -f "$file" ]; then
      [ "$(png_size "$file")" = "$size $size" ] ||
        fail "$file is $(png_size "$file"), not $size x $size"
    else
      fail "icon missing: $file"
    fi
  done

  # Manual pages compressed as Debian wants them: gzip without file name and time stamp.
  for page in thalwise.1 thalwise-cli.1; do
    file=$share/man/man1/$page.gz
    if [ ! -f "$file" ]; then
      fail "manual page missing: $file"
      continue
    fi
    gzip -t "$file" || fail "$file is not a gzip file"
    # Header: ID1 ID2 CM FLG MTIME(4); FLG bit 3 is FNAME.
    local header
    read -r -a header <<<"$(od -An -tu1 -N8 "$file")"
    if [ $((header[3] & 8)) -ne 0 ] || [ "${header[4]}${header[5]}${header[6]}${header[7]}" != 0000 ]; then
      fail "$file carries a file name or time stamp (not gzip -n)"
    fi
    if command -v man >/dev/null 2>&1; then
      local warnings
      warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null)
      [ -z "$warnings" ] || fail "$page: groff warns: $warnings"
    fi
  done
  # Every command thalwise-cli lists has its entry in the manual page.
  if [ -x "$root/bin/thalwise-cli" ] && [ -f "$share/man/man1/thalwise-cli.1.gz" ]; then
    local commands
    commands=$("$root/bin/thalwise-cli" 2>&1 | sed -n 's/^  thalwise-cli \([a-z]*\).*/\1/p')
    [ -n "$commands" ] || fail "thalwise-cli lists no commands"
    for command in $commands; do
      gzip -dc "$share/man/man1/thalwise-cli.1.gz" | grep -q "^\.BI* \"*$command[ \"]" ||
        fail "thalwise-cli.1 has no entry for the command '$command'"
    done
  fi

  # The user guide as the source has it.
  local guide=$share/thalwise/guide
  [ -f "$guide/index.html" ] || fail "the guide's index.html is not installed"
  (cd "$source_dir/docs/guide" && find . -type f \( -name '*.html' -o -name '*.txt' -o -path './images/*' \)) |
    while read -r page; do
      [ -f "$guide/$page" ] || echo "FAIL: guide file not installed: $page"
    done >"$work/guide-missing"
  if [ -s "$work/guide-missing" ]; then
    cat "$work/guide-missing"
    fail "the guide is incomplete"
  fi

  local doc=$share/doc/thalwise
  [ -f "$doc/README.md" ] || fail "README.md is not in $doc"
  head -n 1 "$doc/copyright" 2>/dev/null |
    grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
    fail "$doc/copyright is missing or not in Debian's machine-readable format"
}

# check_programs ROOT: the installed programs run. thalwise-cli reads a sample chart; the
# window starts (offscreen) with it, is still running after a few seconds and closes in order
# on SIGTERM, writing its settings.
check_programs() {
  local root=$1
  local sample=$source_dir/resources/samples/area-ne01.gif
  local info
  if info=$("$root/bin/thalwise-cli" info "$sample" 2>&1); then
    grep -qx 'width: 1024' <<<"$info" && grep -qx 'area: 1 ne01' <<<"$info" ||
      fail "thalwise-cli info read the sample wrongly: $info"
  else
    fail "thalwise-cli info failed: $info"
  fi

  # A home of its own, so that the run neither reads nor writes the user's settings and files.
  local home=$work/home
  mkdir -p "$home/config" "$home/runtime"
  chmod 700 "$home/runtime"
  HOME=$home XDG_CONFIG_HOME=$home/config XDG_RUNTIME_DIR=$home/runtime \
    QT_QPA_PLATFORM=offscreen "$root/bin/thalwise" "$sample" >"$work/thalwise.log" 2>&1 &
  local pid=$!
  sleep 4
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    fail "thalwise ended by itself within 4 s (status $?): $(cat "$work/thalwise.log")"
    return
  fi
  kill -TERM "$pid"
  local waited=0
  while kill -0 "$pid" 2>/dev/null && [ "$waited" -lt 20 ]; do
    sleep 0.5
    waited=$((waited + 1))
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    fail "thalwise did not end within 10 s of SIGTERM"
  fi
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq 0 ] || fail "thalwise ended with status $status after SIGTERM: $(cat "$work/thalwise.log")"
  [ -s "$home/config/Quillmark/thalwise.reg" ] || fail "thalwise wrote no settings on SIGTERM"
}
