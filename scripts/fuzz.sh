#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time (seconds:
# first argument, 60 by default) from the committed corpus. A crash, a hang,
# a leak or a broken property fails the run and leaves its input in
# build/fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
mkdir -p build/fuzz/findings
for target in fuzz_reg_reader fuzz_clean; do
  corpus=build/fuzz/corpus-$target
  mkdir -p "$corpus"
  log=build/fuzz/$target.log
  if ! build/fuzz/fuzz/$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix=build/fuzz/findings/ "$corpus" fuzz/corpus >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$target: FAILED; the input is in build/fuzz/findings/"
    exit 1
  fi
  echo "$target: $(grep -o 'Done [0-9]* runs' "$log" | tail -n 1 | cut -d' ' -f2) inputs in ${seconds}s, no crash, hang or leak"
done
