
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/platform/standin/machine_standin.cpp" "CMakeFiles/platform_run.dir/src/platform/standin/machine_standin.cpp.o" "gcc" "CMakeFiles/platform_run.dir/src/platform/standin/machine_standin.cpp.o.d"
  "/work/main/src/platform/standin/terminal_dialogs.cpp" "CMakeFiles/platform_run.dir/src/platform/standin/terminal_dialogs.cpp.o" "gcc" "CMakeFiles/platform_run.dir/src/platform/standin/terminal_dialogs.cpp.o.d"
  "/work/main/src/platform/standin/terminal_encoding.cpp" "CMakeFiles/platform_run.dir/src/platform/standin/terminal_encoding.cpp.o" "gcc" "CMakeFiles/platform_run.dir/src/platform/standin/terminal_encoding.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/dev/CMakeFiles/platform_registry.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
