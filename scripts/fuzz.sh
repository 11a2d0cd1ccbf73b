#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer in
# their own build folder (default build-fuzz) and runs each for FUZZ_SECONDS seconds
# (default 60), two at a time, from its committed corpus (fuzz/corpus/<target>). Any
# finding fails the run; the input that found it is left in <build>/findings/ and belongs
# in the committed corpus once the fault is mended.
#
#   FUZZ_SECONDS=300 bash scripts/fuzz.sh            # a longer local run
#   FUZZ_TARGETS="picture kvr" bash scripts/fuzz.sh  # some targets only
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-fuzz}
export FUZZ_SECONDS=${FUZZ_SECONDS:-60}
FUZZ_PARALLEL=${FUZZ_PARALLEL:-2}
read -r -a TARGETS <<<"${FUZZ_TARGETS:-picture dotmatrixpage kvr bankfile profile conf retorno}"

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVCOB_FUZZ=ON -DKVCOB_BENCH=OFF \
  -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$BUILD_DIR" -j2 --target "${TARGETS[@]/#/fuzz_}"

# Leaks are left out: Qt keeps caches for the life of the process (fonts, image plugins)
# that look like leaks to a check made after every input.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
export BUILD_DIR
mkdir -p "$BUILD_DIR/findings"

run_one() {
  local t=$1
  local work="$BUILD_DIR/corpus/$t"
  mkdir -p "$work"
  # New inputs go to the build's own corpus; the committed one is only read.
  if "$BUILD_DIR/bin/fuzz_$t" -max_total_time="$FUZZ_SECONDS" -timeout=20 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$BUILD_DIR/findings/$t-" \
      "$work" "fuzz/corpus/$t" >"$BUILD_DIR/fuzz-$t.log" 2>&1; then
    local runs cov
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$BUILD_DIR/fuzz-$t.log" | grep -o '[0-9]*$' || true)
    cov=$(grep -o 'cov: [0-9]*' "$BUILD_DIR/fuzz-$t.log" | tail -1 | grep -o '[0-9]*' || true)
    echo "fuzz_$t: ${runs:-?} runs, coverage ${cov:-?} edges, no finding"
  else
    echo "fuzz_$t: FINDING (log: $BUILD_DIR/fuzz-$t.log)"
    tail -40 "$BUILD_DIR/fuzz-$t.log"
    return 1
  fi
}
export -f run_one

printf '%s\n' "${TARGETS[@]}" | xargs -P "$FUZZ_PARALLEL" -I{} bash -c 'run_one {}'
