#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first that every
# relative link of README.md and docs/ resolves, and that the generated
# tables are what their generator writes; a minute of fuzzing
# for each fuzz target; the stand-in in Release with GCC and with Clang
# (warnings are errors), then clang-tidy and clang-format over the sources;
# the same tests under the sanitizers; and the Windows builds, 64- and
# 32-bit, with their tests and the programs themselves under Wine; last,
# both programs signed with a throwaway certificate and verified. A test
# that this host cannot run (the 32-bit program's, where 32-bit programs
# are refused) is counted as skipped, and a line says why.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
echo "== links"
tools/check_links.py
echo "== generated tables"
python3 tools/make_text_tables.py
git diff --exit-code -- src/regfile/Cp932Table.cpp src/platform/standin/registry/UpcaseTable.cpp ||
  { echo "the generated tables differ from tools/make_text_tables.py's: run it and commit them"; exit 1; }
scripts/fuzz.sh 60
for preset in ci-gcc ci-clang asan windows64 windows; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)"
  ctest --preset "$preset"
  grep -h '^SKIPPED: ' "build/$preset/Testing/Temporary/LastTest.log" | sort -u || true
  if [ "$preset" = ci-clang ]; then
    scripts/lint.sh build/ci-clang
  fi
done
echo "== signing"
scripts/test-signing.sh build/windows64/t_uninst.exe build/windows/t_uninst.exe
