#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first that every
# relative link of README.md and docs/ resolves; a minute of fuzzing
# for each fuzz target; the stand-in in Release with GCC and with Clang
# (warnings are errors), then clang-tidy and clang-format over the sources;
# the same tests under the sanitizers; and the Windows build with its tests
# and the program itself under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
echo "== links"
tools/check_links.py
scripts/fuzz.sh 60
for preset in ci-gcc ci-clang asan windows; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)"
  ctest --preset "$preset"
  if [ "$preset" = ci-clang ]; then
    scripts/lint.sh build/ci-clang
  fi
done
