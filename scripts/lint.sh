#!/usr/bin/env bash
# clang-tidy (.clang-tidy) over the sources, benchmark and tests, on the
# compile database of a configured stand-in build (first argument,
# build/ci-clang by default), and over what only the Windows build compiles
# on that build's database (second argument, build/windows by default);
# then a check that every C++ file is clang-formatted (.clang-format).
# Fails on the first finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci-clang}
windows=${2:-build/windows}
[ -f "$build/compile_commands.json" ] || cmake --preset ci-clang >/dev/null
[ -f "$windows/compile_commands.json" ] || cmake --preset windows >/dev/null
files=$(git ls-files '*.cpp' '*.h')
windows_only='^(src/platform/windows/|tests/wine/|tests/support/(Rights|Wine)Windows\.cpp)'
checked=$(git ls-files 'src/*.cpp' 'bench/*.cpp' 'tests/*.cpp' | grep -Ev "$windows_only")
checked_windows=$(git ls-files 'src/*.cpp' 'tests/*.cpp' | grep -E "$windows_only")

# Runs clang-tidy over the files given after the database; extra arguments
# for the compiler come first, up to "--".
tidy() {
  local database=$1 extra=()
  shift
  while [ "$1" != -- ]; do
    extra+=("-extra-arg=$1")
    shift
  done
  shift
  run-clang-tidy -quiet -p "$database" -j "$(nproc)" "${extra[@]}" "$@" >"$database/clang-tidy.log" 2>&1 || {
    grep -E 'warning:|error:' -A3 "$database/clang-tidy.log" | head -n 60
    echo "clang-tidy: FAILED (all of it in $database/clang-tidy.log)"
    exit 1
  }
}

echo "clang-tidy: $(echo "$checked" | wc -l) files"
tidy "$build" -- $checked

# Clang is told mingw's target, and the C++ headers of the build's own
# compiler, which it does not find by itself.
compiler=$(sed -n 's/^ *"command": "\([^ ]*\) .*/\1/p' "$windows/compile_commands.json" | head -n 1)
mingw=(--target="$("$compiler" -dumpmachine)")
for dir in $("$compiler" -E -x c++ -v - </dev/null 2>&1 | sed -n '/<\.\.\.> search starts here/,/End of search list/p' |
  grep '/include/c++'); do
  mingw+=("-isystem$dir")
done
echo "clang-tidy, Windows build: $(echo "$checked_windows" | wc -l) files"
tidy "$windows" "${mingw[@]}" -- $checked_windows

echo "clang-format: $(echo "$files" | wc -l) files"
clang-format --dry-run --Werror $files
echo "clang-tidy and clang-format: clean"
