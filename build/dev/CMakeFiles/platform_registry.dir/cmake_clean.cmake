file(REMOVE_RECURSE
  "CMakeFiles/platform_registry.dir/src/platform/standin/cp932.cpp.o"
  "CMakeFiles/platform_registry.dir/src/platform/standin/cp932.cpp.o.d"
  "CMakeFiles/platform_registry.dir/src/platform/standin/key_tree.cpp.o"
  "CMakeFiles/platform_registry.dir/src/platform/standin/key_tree.cpp.o.d"
  "CMakeFiles/platform_registry.dir/src/platform/standin/machine_file.cpp.o"
  "CMakeFiles/platform_registry.dir/src/platform/standin/machine_file.cpp.o.d"
  "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_read.cpp.o"
  "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_read.cpp.o.d"
  "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_render.cpp.o"
  "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_render.cpp.o.d"
  "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_write.cpp.o"
  "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_write.cpp.o.d"
  "CMakeFiles/platform_registry.dir/src/platform/standin/registry_api.cpp.o"
  "CMakeFiles/platform_registry.dir/src/platform/standin/registry_api.cpp.o.d"
  "CMakeFiles/platform_registry.dir/src/platform/standin/upcase.cpp.o"
  "CMakeFiles/platform_registry.dir/src/platform/standin/upcase.cpp.o.d"
  "libplatform_registry.a"
  "libplatform_registry.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/platform_registry.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
