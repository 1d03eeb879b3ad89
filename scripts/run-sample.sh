#!/usr/bin/env bash
# Builds the program (cmake and g++ are all it needs), showing the build's
# progress, and runs it on a copy of the bundled sample machine registry, so
# that the sample itself stays as it is. Answers come from the terminal, or
# from a pipe.
set -euo pipefail
cd "$(dirname "$0")/.."
echo "Building t_uninst in build/sample (a minute or two the first time)"
cmake -S . -B build/sample -DCMAKE_BUILD_TYPE=RelWithDebInfo -DT_UNINST_TESTS=OFF >/dev/null
cmake --build build/sample --target t_uninst -j"$(nproc)"
cp sample/machine.reg build/sample/machine.reg
echo "Running t_uninst on build/sample/machine.reg (a copy of sample/machine.reg)"
T_UNINST_REGISTRY=build/sample/machine.reg build/sample/t_uninst
