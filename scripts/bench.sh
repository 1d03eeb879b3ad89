#!/usr/bin/env bash
# The benchmark at machine scale: machines of 10,000, 100,000, 300,000 and
# 1,000,000 component keys in both encodings, their keys sorted (as regedit
# writes them) and in random order, and the 300,000 UTF-16 one in reverse
# order (made once, deterministic, in build/bench/seed-SEED/; BENCH_SEED
# picks another seed), the stand-in's figures next to the floor of plain
# tools (cat, dd), the targets on the 300,000 machines met or missed, and
# under Wine t_uninst.exe and Wine's own reg.exe on the
# 100,000 machine. Installs what is missing first, like scripts/test.sh.
# Prints the table, writes build/bench/bench.csv and draws
# build/bench/bench.png (with gnuplot). BENCH_SIZES picks other sizes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
sizes=${BENCH_SIZES:-"10000 100000 300000 1000000"}
# The machines' generator seed: another seed, other machines of the same shape.
seed=${BENCH_SEED:-21}
out=build/bench
machinesDir=$out/seed-$seed
mkdir -p "$machinesDir"
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target t_uninst make_machine registry_bench >/dev/null
machines=()
for n in $sizes; do
  for order in sorted random reverse; do
    for encoding in utf16 cp932; do
      [ "$order" = reverse ] && { [ "$n" = 300000 ] && [ "$encoding" = utf16 ] || continue; }
      file=$machinesDir/machine-$n-$encoding.reg
      [ "$order" = sorted ] || file=$machinesDir/machine-$n-$encoding-$order.reg
      [ -f "$file" ] || build/default/make_machine "$n" "$encoding" "$seed" "$file" "$order"
      machines+=("$file")
    done
  done
done
build/default/registry_bench build/default/t_uninst "$out/bench.csv" "${machines[@]}" | tee "$out/bench.txt"

# The targets, on the 300,000-component machines in both encodings, in
# regedit's order and in random order: the whole program against the
# floor of plain tools (cat, then dd with fsync, best of three), and its
# peak memory against the file; met or missed. The other sizes show the
# same figures beside them.
awk -F, 'NR > 1 && $18 != "reverse" {
  utf16 = $2 == "utf16"; sorted = $18 == "sorted"
  time = utf16 ? (sorted ? 4 : 5) : (sorted ? 5 : 6); peak = utf16 ? 1.5 : 2
  machine = (utf16 ? "UTF-16" : "REGEDIT4") ", " (sorted ? "regedit'"'"'s order" : "random order")
  if ($1 == 300000)
    printf "%-9s %-26s | time %5.1fx the floor (target <= %d: %s) | peak memory %4.2fx the file (target <= %.1f: %s)\n",
      $1, machine, $14, time, ($14 <= time ? "met" : "missed"), $15, peak, ($15 <= peak ? "met" : "missed")
  else
    printf "%-9s %-26s | time %5.1fx the floor                    | peak memory %4.2fx the file\n", $1, machine, $14, $15
}' "$out/bench.csv" | tee -a "$out/bench.txt"

if [ -f "$machinesDir/machine-100000-utf16.reg" ]; then
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 -j"$(nproc)" --target t_uninst >/dev/null
  python3 bench/wine_bench.py build/windows64/t_uninst.exe "$machinesDir/machine-100000-utf16.reg" "$out" "$out/wine.csv" |
    tee -a "$out/bench.txt"
fi

grep ',utf16,.*,sorted$' "$out/bench.csv" >"$out/bench-utf16.csv"
grep ',utf16,.*,random$' "$out/bench.csv" >"$out/bench-utf16-random.csv"
gnuplot -e "csv='$out/bench-utf16.csv'; random='$out/bench-utf16-random.csv'; png='$out/bench.png'" bench/plot.gp
echo "plot: $out/bench.png"
