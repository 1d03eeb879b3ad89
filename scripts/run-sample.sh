#!/usr/bin/env bash
# Builds the program and runs it on a copy of the bundled sample machine
# registry, so that the sample itself stays as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default --target t_uninst -j"$(nproc)"
mkdir -p build/sample
cp sample/machine.reg build/sample/machine.reg
echo "Running t_uninst on build/sample/machine.reg (a copy of sample/machine.reg)"
T_UNINST_REGISTRY=build/sample/machine.reg build/default/t_uninst
