file(REMOVE_RECURSE
  "CMakeFiles/run.dir/src/t_uninst/Run.cpp.o"
  "CMakeFiles/run.dir/src/t_uninst/Run.cpp.o.d"
  "librun.a"
  "librun.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/run.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
