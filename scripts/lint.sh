#!/usr/bin/env bash
# clang-tidy (.clang-tidy) over the sources, benchmark and tests, on the
# compile database of a configured stand-in build (first argument,
# build/ci-clang by default); then a check that every C++ file is
# clang-formatted (.clang-format). Fails on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci-clang}
[ -f "$build/compile_commands.json" ] || cmake --preset ci-clang >/dev/null
files=$(git ls-files '*.cpp' '*.h')
# Only what this build compiles: the Windows platform is not in its database.
checked=$(git ls-files 'src/*.cpp' 'bench/*.cpp' 'tests/*.cpp' | grep -v '^src/platform/windows/')
echo "clang-tidy: $(echo "$checked" | wc -l) files"
run-clang-tidy -quiet -p "$build" -j "$(nproc)" $checked >"$build/clang-tidy.log" 2>&1 || {
  grep -E 'warning:|error:' -A3 "$build/clang-tidy.log" | head -n 60
  echo "clang-tidy: FAILED (all of it in $build/clang-tidy.log)"
  exit 1
}
echo "clang-format: $(echo "$files" | wc -l) files"
clang-format --dry-run --Werror $files
echo "clang-tidy and clang-format: clean"
