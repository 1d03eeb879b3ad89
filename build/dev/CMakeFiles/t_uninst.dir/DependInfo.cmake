
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/t_uninst/main.cpp" "CMakeFiles/t_uninst.dir/src/t_uninst/main.cpp.o" "gcc" "CMakeFiles/t_uninst.dir/src/t_uninst/main.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/dev/CMakeFiles/run.dir/DependInfo.cmake"
  "/work/main/build/dev/CMakeFiles/cleaner.dir/DependInfo.cmake"
  "/work/main/build/dev/CMakeFiles/registry.dir/DependInfo.cmake"
  "/work/main/build/dev/CMakeFiles/platform_run.dir/DependInfo.cmake"
  "/work/main/build/dev/CMakeFiles/platform_registry.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
