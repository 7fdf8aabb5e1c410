#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer,
# runs them, then runs each fuzz target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh build-essential cmake ninja-build pkg-config ccache libsdl2-dev \
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev llvm mscompress
JOBS=$(nproc)
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/krx-ccache}"
export KRX_PLATFORM=headless
# Each unit test program runs as one CTest test (see CMakeLists.txt).
export KRX_TEST_WHOLE=1

# Each phase reports how long it took.
phase_start=$SECONDS
phase_end() { echo "   ($((SECONDS - phase_start)) s)"; phase_start=$SECONDS; }

echo "== Build (ASan + UBSan)"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKRX_SANITIZE=ON -DKRX_BENCH=OFF >/dev/null
cmake --build build-test -j "$JOBS"
phase_end

echo "== Tests"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-test && ctest -j "$JOBS" --output-on-failure --timeout 600)
phase_end

echo "== Fuzz targets"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKRX_FUZZ=ON -DKRX_TESTS=OFF -DKRX_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$JOBS"
phase_end
FUZZ_SECONDS="${FUZZ_SECONDS:-5}"
# One target per core at a time; each runs one libFuzzer process.
fuzz_one() {
  local f=$1 name corpus seeds
  name=$(basename "$f")
  # New finds go to the first folder; the committed seeds (tests/fuzz/corpus/,
  # files of the sample data set) are only read.
  # Absolute folders: some targets work in a temporary folder of their own.
  corpus="$PWD/build-fuzz/corpus/$name"
  seeds="$PWD/tests/fuzz/corpus/${name#fuzz_}"
  mkdir -p "$corpus"
  local dirs=("$corpus")
  if [ -d "$seeds" ]; then dirs+=("$seeds"); else echo "warning: $name has no seeds in $seeds"; fi
  echo "-- $name"
  # From the build folder: some targets write the files they read back.
  (cd build-fuzz && "./$name" -max_total_time="$FUZZ_SECONDS" -rss_limit_mb=2048 -print_final_stats=0 "${dirs[@]}" \
    > "$name.log" 2>&1) || { tail -40 "build-fuzz/$name.log"; echo "$name failed"; return 1; }
}
export -f fuzz_one
export FUZZ_SECONDS
for f in build-fuzz/fuzz_*; do [ -x "$f" ] && printf '%s\0' "$f"; done |
  xargs -0 -n 1 -P "$JOBS" bash -c 'fuzz_one "$1"' fuzz_one || { echo "A fuzz target failed."; exit 1; }
phase_end
echo "All tests passed."
