
# Consider dependencies only in project.
set(CMAKE_DEPENDS_IN_PROJECT_ONLY OFF)

# The set of languages for which implicit dependencies are needed:
set(CMAKE_DEPENDS_LANGUAGES
  )

# The set of dependency files which are needed:
set(CMAKE_DEPENDS_DEPENDENCY_FILES
  "/work/main/src/cleaner/CleanInstallerEntries.cpp" "CMakeFiles/cleaner.dir/src/cleaner/CleanInstallerEntries.cpp.o" "gcc" "CMakeFiles/cleaner.dir/src/cleaner/CleanInstallerEntries.cpp.o.d"
  "/work/main/src/cleaner/CleanSharedDlls.cpp" "CMakeFiles/cleaner.dir/src/cleaner/CleanSharedDlls.cpp.o" "gcc" "CMakeFiles/cleaner.dir/src/cleaner/CleanSharedDlls.cpp.o.d"
  "/work/main/src/cleaner/KeyMentionsProduct.cpp" "CMakeFiles/cleaner.dir/src/cleaner/KeyMentionsProduct.cpp.o" "gcc" "CMakeFiles/cleaner.dir/src/cleaner/KeyMentionsProduct.cpp.o.d"
  "/work/main/src/cleaner/Keyword.cpp" "CMakeFiles/cleaner.dir/src/cleaner/Keyword.cpp.o" "gcc" "CMakeFiles/cleaner.dir/src/cleaner/Keyword.cpp.o.d"
  "/work/main/src/cleaner/Tinst0.cpp" "CMakeFiles/cleaner.dir/src/cleaner/Tinst0.cpp.o" "gcc" "CMakeFiles/cleaner.dir/src/cleaner/Tinst0.cpp.o.d"
  )

# Targets to which this target links.
set(CMAKE_TARGET_LINKED_INFO_FILES
  "/work/main/build/dev/CMakeFiles/registry.dir/DependInfo.cmake"
  "/work/main/build/dev/CMakeFiles/platform_registry.dir/DependInfo.cmake"
  )

# Fortran module output directory.
set(CMAKE_Fortran_TARGET_MODULE_DIR "")
