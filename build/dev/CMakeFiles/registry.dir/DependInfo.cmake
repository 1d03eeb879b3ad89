
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/registry/ERegistryException.cpp" "CMakeFiles/registry.dir/src/registry/ERegistryException.cpp.o" "gcc" "CMakeFiles/registry.dir/src/registry/ERegistryException.cpp.o.d"
  "/work/main/src/registry/EnumerateName.cpp" "CMakeFiles/registry.dir/src/registry/EnumerateName.cpp.o" "gcc" "CMakeFiles/registry.dir/src/registry/EnumerateName.cpp.o.d"
  "/work/main/src/registry/SystemFacts.cpp" "CMakeFiles/registry.dir/src/registry/SystemFacts.cpp.o" "gcc" "CMakeFiles/registry.dir/src/registry/SystemFacts.cpp.o.d"
  "/work/main/src/registry/TRegistry.cpp" "CMakeFiles/registry.dir/src/registry/TRegistry.cpp.o" "gcc" "CMakeFiles/registry.dir/src/registry/TRegistry.cpp.o.d"
  "/work/main/src/registry/ValueKind.cpp" "CMakeFiles/registry.dir/src/registry/ValueKind.cpp.o" "gcc" "CMakeFiles/registry.dir/src/registry/ValueKind.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/dev/CMakeFiles/platform_registry.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
