# Time against machine size for load, the two passes and save, with the
# plain-I/O floor; UTF-16 machines. Called by scripts/bench.sh.
set datafile separator ","
set terminal pngcairo size 900,560 font "sans,10"
set output png
set logscale xy
set key top left
set grid
set xlabel "component keys"
set ylabel "seconds"
set title "t_uninst on the stand-in: time against machine size (UTF-16 files)" noenhanced
utf16(col) = strcol(2) eq "utf16" ? column(col) : 1/0
plot csv every ::1 using 1:(utf16(6)) with linespoints lw 2 title "load", \
     ''  every ::1 using 1:(utf16(7)) with linespoints lw 2 title "both passes", \
     ''  every ::1 using 1:(utf16(8)) with linespoints lw 2 title "save", \
     ''  every ::1 using 1:(utf16(9)) with linespoints lw 2 title "whole program", \
     ''  every ::1 using 1:(utf16(4)+utf16(5)) with linespoints dt 2 title "floor: read + write a copy"
