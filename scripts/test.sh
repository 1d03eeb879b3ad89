#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the stand-in build
# and the same tests under the sanitizers, and the Windows build with its
# tests and the program itself under Wine; first, a minute of fuzzing for
# each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/fuzz.sh 60
for preset in default asan windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)"
  ctest --preset "$preset"
done
