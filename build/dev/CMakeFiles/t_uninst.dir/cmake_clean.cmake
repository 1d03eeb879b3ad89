file(REMOVE_RECURSE
  "CMakeFiles/t_uninst.dir/src/t_uninst/main.cpp.o"
  "CMakeFiles/t_uninst.dir/src/t_uninst/main.cpp.o.d"
  "t_uninst"
  "t_uninst.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/t_uninst.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
