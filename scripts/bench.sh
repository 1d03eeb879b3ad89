#!/usr/bin/env bash
# The benchmark at machine scale: machines of 10,000, 100,000, 300,000 and
# 1,000,000 component keys in both encodings, their keys sorted (as regedit
# writes them) and in random order, and the 300,000 UTF-16 one in reverse
# order (made once, deterministic, in build/bench/), the stand-in's figures
# next to the plain-I/O floor, and
# under Wine t_uninst.exe and Wine's own reg.exe on the
# 100,000 machine. Installs what is missing first, like scripts/test.sh.
# Prints the table, writes build/bench/bench.csv and draws
# build/bench/bench.png (with gnuplot). BENCH_SIZES picks other sizes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
sizes=${BENCH_SIZES:-"10000 100000 300000 1000000"}
out=build/bench
mkdir -p "$out"
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target t_uninst make_machine registry_bench >/dev/null
machines=()
for n in $sizes; do
  for order in sorted random reverse; do
    for encoding in utf16 cp932; do
      [ "$order" = reverse ] && { [ "$n" = 300000 ] && [ "$encoding" = utf16 ] || continue; }
      file=$out/machine-$n-$encoding.reg
      [ "$order" = sorted ] || file=$out/machine-$n-$encoding-$order.reg
      [ -f "$file" ] || build/default/make_machine "$n" "$encoding" 1 "$file" "$order"
      machines+=("$file")
    done
  done
done
build/default/registry_bench build/default/t_uninst "$out/bench.csv" "${machines[@]}" | tee "$out/bench.txt"

if [ -f "$out/machine-100000-utf16.reg" ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j"$(nproc)" --target t_uninst >/dev/null
  python3 bench/wine_bench.py build/windows/t_uninst.exe "$out/machine-100000-utf16.reg" "$out" "$out/wine.csv" |
    tee -a "$out/bench.txt"
fi

grep ',utf16,.*,sorted$' "$out/bench.csv" >"$out/bench-utf16.csv"
grep ',utf16,.*,random$' "$out/bench.csv" >"$out/bench-utf16-random.csv"
gnuplot -e "csv='$out/bench-utf16.csv'; random='$out/bench-utf16-random.csv'; png='$out/bench.png'" bench/plot.gp
echo "plot: $out/bench.png"
