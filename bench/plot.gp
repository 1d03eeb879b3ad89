# Time against machine size for load, the two passes, save and the whole
# program, with the plain-I/O floor, on the UTF-16 machines with sorted keys
# (the rows of `csv`), and load and the whole program on those with keys in
# random order (`random`). Called by scripts/bench.sh.
set datafile separator ","
set terminal pngcairo size 900,560 font "sans,10"
set output png
set logscale xy
set key top left
set grid
set xlabel "component keys"
set ylabel "seconds"
set title "t_uninst on the stand-in: time against machine size (UTF-16 machines)" noenhanced
plot csv using 1:6 with linespoints lw 2 title "load", \
     ''  using 1:7 with linespoints lw 2 title "both passes", \
     ''  using 1:8 with linespoints lw 2 title "save", \
     ''  using 1:9 with linespoints lw 2 title "whole program", \
     ''  using 1:($4+$5) with linespoints dt 2 lw 2 title "floor: read + write a copy", \
     random using 1:6 with linespoints dt 3 lw 2 title "load, keys in random order", \
     random using 1:9 with linespoints dt 3 lw 2 title "whole program, keys in random order"
