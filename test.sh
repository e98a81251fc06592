#!/usr/bin/env bash
# Checks the C++ files against .clang-format, builds Velumo with its tests and
# runs them all; non-zero exit on any failure.
# Then builds the non-GUI libraries and tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang, build/asan), runs those tests and runs
# each fuzz target for a fixed number of executions with a fixed seed.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup-deps.sh
scripts/check-format.sh
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELUMO_BUILD_TESTS=ON -DVELUMO_WERROR=ON >/dev/null
cmake --build build/test -j"$(nproc)"
(cd build/test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

# Sanitizers: any report aborts the test or fuzz process and so fails the run.
CXX=clang++ cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELUMO_BUILD_TESTS=ON \
  -DVELUMO_BUILD_GUI=OFF -DVELUMO_BUILD_BENCH=OFF -DVELUMO_SANITIZE=ON -DVELUMO_BUILD_FUZZ=ON \
  -DVELUMO_WERROR=ON >/dev/null
cmake --build build/asan -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1
(cd build/asan && ctest --output-on-failure -j"$(nproc)")

# Short fuzz runs from the seed projects; a finding is kept in
# build/asan/fuzz/findings for replay (see fuzz/README.md).
run_fuzzer() {
  local target=$1 runs=$2
  shift 2
  local dir=build/asan/fuzz
  local corpus
  corpus=$(mktemp -d)
  mkdir -p "$dir/findings"
  local seeds=()
  [[ -d $dir/seeds/$target ]] && seeds=("$dir/seeds/$target")
  echo "Fuzz $target: $runs Läufe"
  if ! "$dir/$target" -runs="$runs" -seed=1 -max_len=8192 -timeout=60 -print_final_stats=1 "$@" \
       -artifact_prefix="$dir/findings/" "$corpus" "${seeds[@]}" >"$dir/$target.log" 2>&1; then
    tail -n 60 "$dir/$target.log"
    rm -rf "$corpus"
    echo "Fuzz $target: Befund, siehe $dir/$target.log" >&2
    return 1
  fi
  grep -E "stat::number_of_executed_units" "$dir/$target.log" || true
  rm -rf "$corpus"
}
run_fuzzer fuzz_ini 20000
run_fuzzer fuzz_project 20000 -dict=fuzz/project.dict
# Full-length inputs at once: a run needs many key lines to reach far.
run_fuzzer fuzz_run 2000 -len_control=0 -dict=fuzz/project.dict
