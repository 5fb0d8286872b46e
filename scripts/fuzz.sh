#!/usr/bin/env bash
# Long fuzz runs of the libFuzzer harnesses (tests/fuzz), one after another.
#   scripts/fuzz.sh                      every harness, 10 million executions or 10 minutes each
#   scripts/fuzz.sh -r N -t SECONDS h..  N executions or SECONDS per harness, for the named harnesses
# Builds the fuzz tree first (clang; scripts/setup.sh installs it). New inputs
# are kept in $build/fuzz_corpus/<harness>, findings (crash-*, leak-*,
# timeout-*) in $build/fuzz_findings/<harness>; the summary line per harness
# gives its executions. Runs at the lowest priority.
#   LITE_BUILD_ROOT=DIR   build trees under DIR instead of ./build
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${LITE_BUILD_ROOT:-$root/build}/fuzz"
runs=10000000
seconds=600
while getopts "r:t:" option; do
  case $option in
    r) runs=$OPTARG ;;
    t) seconds=$OPTARG ;;
    *) echo "usage: $0 [-r RUNS] [-t SECONDS] [harness...]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))

cmake -S "$root" -B "$build" -DLITE_FUZZ=ON -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" -j"${LITE_JOBS:-2}" >/dev/null

harnesses=("$@")
if [ ${#harnesses[@]} -eq 0 ]; then
  for source in "$root"/tests/fuzz/*_fuzzer.cc; do
    name=$(basename "$source" _fuzzer.cc)
    harnesses+=("$name")
  done
fi

status=0
for name in "${harnesses[@]}"; do
  corpus="$build/fuzz_corpus/$name"
  findings="$build/fuzz_findings/$name"
  mkdir -p "$corpus" "$findings"
  log="$findings/last_run.log"
  if nice -n 19 "$build/bin/${name}_fuzzer" -runs="$runs" -max_total_time="$seconds" -max_len=4096 \
       -timeout=20 -print_final_stats=1 -artifact_prefix="$findings/" \
       "$corpus" "$root/tests/fuzz/corpus/$name" >"$log" 2>&1; then
    result=ok
  else
    result=FINDING
    status=1
  fi
  executions=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  echo "$name: $result, $executions executions ($log)"
done
exit $status
