#!/usr/bin/env bash
# The plain libraries and their unit tests under AddressSanitizer and UBSan,
# then every fuzz target for a minute over the seed corpus committed beside it.
# Called by test.sh after the main run; expects setup.sh to have run.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
fuzz_seconds=${QM_FUZZ_SECONDS:-60}
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$repo"
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

san="$repo/build-sanitize"
cmake -G Ninja -S "$repo" -B "$san" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g1 -O1" \
  -DQM_SANITIZE=ON -DQM_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build "$san" -j2 --target plain_unit_tests
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$san" && ctest -R "$(cat plain_tests.txt)" --output-on-failure -j2 --timeout 900)

fuzz="$repo/build-fuzz"
CC=clang CXX=clang++ cmake -G Ninja -S "$repo" -B "$fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQM_BUILD_FUZZ=ON -DQM_BUILD_TESTS=OFF -DQM_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build "$fuzz" -j2 --target fuzz_targets
# Each target runs on one core, so two run at a time.
fuzz_one() {
  local target=$1 seeds="$repo/fuzz/corpus/$1" work
  if [ ! -d "$seeds" ]; then
    echo "fuzz target $target has no seed corpus in fuzz/corpus/$target" >&2
    return 1
  fi
  # New inputs go to a scratch folder; the committed seeds are only read.
  work=$(mktemp -d); mkdir "$work/new"
  if ! (cd "$work" && "$fuzz/bin/$target" -max_total_time="$fuzz_seconds" -timeout=20 -rss_limit_mb=3072 \
          -print_final_stats=1 "$work/new" "$seeds" > "$work/log" 2>&1); then
    tail -n 60 "$work/log" >&2
    echo "fuzz target $target failed; the input is in $work" >&2
    return 1
  fi
  echo "== $target: ${fuzz_seconds} s over $(ls "$seeds" | wc -l) seeds," \
    "$(grep -E '^stat::number_of_executed_units' "$work/log" | tr -s ' ' | cut -d' ' -f2) inputs"
  rm -rf "$work"
}
read -ra targets <<< "$(tr ';' ' ' < "$fuzz/fuzz_targets.txt")"
failed=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    fuzz_one "$target" & pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
done
exit "$failed"
