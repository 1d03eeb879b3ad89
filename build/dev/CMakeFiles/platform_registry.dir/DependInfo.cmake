
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/platform/standin/cp932.cpp" "CMakeFiles/platform_registry.dir/src/platform/standin/cp932.cpp.o" "gcc" "CMakeFiles/platform_registry.dir/src/platform/standin/cp932.cpp.o.d"
  "/work/main/src/platform/standin/key_tree.cpp" "CMakeFiles/platform_registry.dir/src/platform/standin/key_tree.cpp.o" "gcc" "CMakeFiles/platform_registry.dir/src/platform/standin/key_tree.cpp.o.d"
  "/work/main/src/platform/standin/machine_file.cpp" "CMakeFiles/platform_registry.dir/src/platform/standin/machine_file.cpp.o" "gcc" "CMakeFiles/platform_registry.dir/src/platform/standin/machine_file.cpp.o.d"
  "/work/main/src/platform/standin/reg_file_read.cpp" "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_read.cpp.o" "gcc" "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_read.cpp.o.d"
  "/work/main/src/platform/standin/reg_file_render.cpp" "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_render.cpp.o" "gcc" "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_render.cpp.o.d"
  "/work/main/src/platform/standin/reg_file_write.cpp" "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_write.cpp.o" "gcc" "CMakeFiles/platform_registry.dir/src/platform/standin/reg_file_write.cpp.o.d"
  "/work/main/src/platform/standin/registry_api.cpp" "CMakeFiles/platform_registry.dir/src/platform/standin/registry_api.cpp.o" "gcc" "CMakeFiles/platform_registry.dir/src/platform/standin/registry_api.cpp.o.d"
  "/work/main/src/platform/standin/upcase.cpp" "CMakeFiles/platform_registry.dir/src/platform/standin/upcase.cpp.o" "gcc" "CMakeFiles/platform_registry.dir/src/platform/standin/upcase.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
