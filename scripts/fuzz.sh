#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a bounded
# time (default 20 seconds; `scripts/fuzz.sh 600` for a longer run).  New
# inputs go to a scratch corpus; a crash leaves its input in $root/fuzz/crashes
# and fails the run (keep it in tests/fuzz/corpus/<target>/ as a regression).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
root=${FOLIO_BUILD_ROOT:-build}
build="$root/fuzz"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFOLIO_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
targets=$(sed -n 's/^set(FOLIO_FUZZ_TARGETS \(.*\))$/\1/p' tests/fuzz/CMakeLists.txt)
cmake --build "$build" --target $(printf 'fuzz_%s ' $targets)

mkdir -p "$build/crashes"
# Fontconfig keeps its caches for the life of the process; they are no leak.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan_suppressions.txt"
for target in $targets; do
  scratch="$build/corpus/$target"
  mkdir -p "$scratch"
  echo "fuzzing $target for ${seconds}s"
  "$build/bin/fuzz_$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$build/crashes/$target-" "$scratch" "tests/fuzz/corpus/$target" 2>"$build/$target.log" ||
    { tail -40 "$build/$target.log"; exit 1; }
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$build/$target.log" | sed "s/^/  $target: /"
  echo "  $target: corpus $(ls "$scratch" | wc -l) scratch + $(ls "tests/fuzz/corpus/$target" | wc -l) seed inputs"
done
