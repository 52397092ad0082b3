#!/usr/bin/env bash
# Builds the GIF loader fuzzer with clang and runs it for SECONDS (default 60), then the
# annotation file, settings store, BMP loader, GPX reader and NetCDF decoder fuzzers, which share
# another SECONDS. TARGETS (default "gif annotation registry bmp gpx netcdf") picks which run; a single one runs for
# SECONDS. Exits non-zero when a fuzzer finds a crash, a timeout or an input beyond the memory
# limits (time and memory budgets are failures, as crashes are); those inputs land in
# fuzz/crashes/.
# BUILD_DIR (default build-fuzz beside the checkout's other build folders), JOBS (default 1).
set -euo pipefail
seconds=${1:-60}
fuzz_dir=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$fuzz_dir/.." && pwd)
build_dir=${BUILD_DIR:-$root/build-fuzz}
work=$fuzz_dir/corpus-work
targets=${TARGETS:-gif annotation registry bmp gpx netcdf}
wants() { case " $targets " in *" $1 "*) return 0 ;; *) return 1 ;; esac; }
# The targets other than gif share SECONDS among them.
others=$(echo $targets | tr ' ' '\n' | grep -cvx gif || true)
share=$(( (seconds + others - 1) / (others > 0 ? others : 1) ))
[ "$(echo $targets | wc -w)" = 1 ] && share=$seconds
shared=${THALWISE_SHARED_DIR:-$root/../shared}

CC=clang CXX=clang++ cmake -S "$fuzz_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"${JOBS:-1}" >/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
mkdir -p "$fuzz_dir/crashes"

if wants gif; then
# Seeds: the checked-in test files, the shared conformance corpus, and encoder outputs.
mkdir -p "$work/seeds" "$work/corpus"
cp -f "$root"/tests/data/gif/*.gif "$work/seeds/" 2>/dev/null || true
if [ -d "$shared/gif-corpus" ]; then
  cp -f "$shared"/gif-corpus/*.gif "$work/seeds/" 2>/dev/null || true
else
  echo "note: $shared/gif-corpus absent, seeding without it" >&2
fi
"$build_dir/fuzz_gif_seeds" "$work/seeds"
# Charts of real size, so that the time and memory budgets meet real sizes too.
cp -f "$root"/resources/samples/*.gif "$work/seeds/" 2>/dev/null || true
# Inputs that once crashed the loader stay in the seeds as regression cases.
cp -f "$fuzz_dir"/crashes/fixed-*.gif "$work/seeds/" 2>/dev/null || true

# The input cap admits the real charts (about 300 KB); libFuzzer still grows most inputs from
# small ones. The memory cap catches hostile sizes that would make the loader allocate far more
# than the file could ever fill; the timeout is the 2 s budget with room for the sanitizers.
"$build_dir/fuzz_gif_load" "$work/corpus" "$work/seeds" \
  -max_total_time="$seconds" -max_len=524288 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
  -timeout=10 -print_final_stats=1 -artifact_prefix="$fuzz_dir/crashes/"
fi

if wants annotation; then
# The annotation file reader, from the checked-in area files and one of real size: as many
# lines and texts as the platform lists (3498 each). Inputs start at full length
# (-len_control=0), so that work growing faster than the file shows as a timeout.
mkdir -p "$work/ini-corpus" "$work/ini-seeds"
cp -f "$root"/tests/data/ini/*.ini "$work/ini-seeds/" 2>/dev/null || true
{
  printf '[DataLevel]\r\nRevision=1\r\n[Lines]\r\n'
  for i in $(seq 0 3497); do printf '%d=%d,%d,%d,%d,%d,%d\r\n' $i $i 40 $((i + 9)) 52 $i 60; done
  printf '[Text]\r\n'
  for i in $(seq 0 3497); do printf '%d=%d,%d,Buoy %d, 68F\r\n' $i $((i % 900)) $((i % 700)) $i; done
} > "$work/ini-seeds/real-size.ini"
"$build_dir/fuzz_annotation_file" "$work/ini-corpus" "$work/ini-seeds" \
  -max_total_time="$share" -max_len=262144 -len_control=0 -rss_limit_mb=2048 \
  -malloc_limit_mb=1024 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$fuzz_dir/crashes/annotation-"
fi

if wants registry; then
# The settings store, from a store of real size (the program's values and 200 waypoints), in
# UTF-8 and in the registry editor's UTF-16.
mkdir -p "$work/reg-corpus" "$work/reg-seeds"
{
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise]\n'
  printf '"DataFilterIndex"=dword:00000002\n"DaysToKeep"=dword:0000001e\n'
  printf '"DataFolder"="C:\\\\Users\\\\me\\\\Charts\\\\"\n"FontName"="MS Sans Serif"\n'
  printf '"HomeLat"=hex:00,00,00,00,00,80,45,40\n"HomeLon"=hex:00,00,00,00,00,a0,51,c0\n'
  printf '"Note"=hex(1):41,00,00,00,42,00,00,00\n"Path"=hex(2):25,00,41,00,25,00,00,00\n\n'
  printf '[HKEY_CURRENT_USER\\Software\\Quillmark\\thalwise\\Waypoints]\n'
  for i in $(seq 0 199); do printf '"%d"="Lat=41.%02d,Lon=-70.%02d,Tf=6%d.5"\n' $i $((i % 100)) $((i % 97)) $((i % 10)); done
} > "$work/reg-seeds/real-size.reg"
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$work/reg-seeds/real-size.reg"; } \
  > "$work/reg-seeds/real-size-utf16.reg"
"$build_dir/fuzz_registry_store" "$work/reg-corpus" "$work/reg-seeds" \
  -max_total_time="$share" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
  -timeout=10 -print_final_stats=1 -artifact_prefix="$fuzz_dir/crashes/registry-"
fi

# The BMP reader and the banded printing engine, from the checked-in BMP test files.
if wants bmp; then
mkdir -p "$work/bmp-corpus"
"$build_dir/fuzz_bmp_load" "$work/bmp-corpus" "$root/tests/data/bmp" \
  -max_total_time="$share" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
  -timeout=30 -print_final_stats=1 -artifact_prefix="$fuzz_dir/crashes/bmp-"
fi

# The GPX reader, from the checked-in GPX files.
if wants gpx; then
mkdir -p "$work/gpx-corpus"
"$build_dir/fuzz_gpx" "$work/gpx-corpus" "$root/tests/data/gpx" \
  -max_total_time="$share" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
  -timeout=30 -print_final_stats=1 -artifact_prefix="$fuzz_dir/crashes/gpx-"
fi

# The NetCDF decoder of chart data, from files written with netCDF-C. The memory cap is the
# decoder's budget for a hostile file (512 MB in any one allocation); the timeout leaves room for
# the sanitizers around a 1 s budget.
if wants netcdf; then
mkdir -p "$work/netcdf-corpus" "$work/netcdf-seeds"
"$build_dir/fuzz_netcdf_seeds" "$work/netcdf-seeds"
"$build_dir/fuzz_netcdf" "$work/netcdf-corpus" "$work/netcdf-seeds" \
  -max_total_time="$share" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=512 \
  -timeout=5 -print_final_stats=1 -artifact_prefix="$fuzz_dir/crashes/netcdf-"
fi
