#!/usr/bin/env bash
# Builds the GIF loader fuzzer with clang and runs it for SECONDS (default 60), then the
# annotation file, BMP loader and GPX reader fuzzers, which share another SECONDS.
# TARGETS (default "gif annotation bmp gpx") picks which run; a single one runs for SECONDS.
# Exits non-zero when the fuzzer finds a crash; crash inputs land in fuzz/crashes/.
# BUILD_DIR (default build-fuzz beside the checkout's other build folders), JOBS (default 1).
set -euo pipefail
seconds=${1:-60}
fuzz_dir=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$fuzz_dir/.." && pwd)
build_dir=${BUILD_DIR:-$root/build-fuzz}
work=$fuzz_dir/corpus-work
targets=${TARGETS:-gif annotation bmp gpx}
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
# Inputs that once crashed the loader stay in the seeds as regression cases.
cp -f "$fuzz_dir"/crashes/fixed-*.gif "$work/seeds/" 2>/dev/null || true

# A 64 KiB input cap keeps the runs fast; the memory cap catches hostile sizes that would make
# the loader allocate far more than the file could ever fill. The timeout is generous because a
# small file may legitimately ask for tens of millions of pixels, slow under the sanitizers.
"$build_dir/fuzz_gif_load" "$work/corpus" "$work/seeds" \
  -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
  -timeout=30 -print_final_stats=1 -artifact_prefix="$fuzz_dir/crashes/"
fi

if wants annotation; then
# The annotation file reader, for its share, from the checked-in area files.
mkdir -p "$work/ini-corpus" "$work/ini-seeds"
cp -f "$root"/tests/data/ini/*.ini "$work/ini-seeds/" 2>/dev/null || true
"$build_dir/fuzz_annotation_file" "$work/ini-corpus" "$work/ini-seeds" \
  -max_total_time="$share" -max_len=65536 -rss_limit_mb=2048 \
  -timeout=30 -print_final_stats=1 -artifact_prefix="$fuzz_dir/crashes/annotation-"
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
