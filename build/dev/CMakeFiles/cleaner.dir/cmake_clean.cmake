file(REMOVE_RECURSE
  "CMakeFiles/cleaner.dir/src/cleaner/CleanInstallerEntries.cpp.o"
  "CMakeFiles/cleaner.dir/src/cleaner/CleanInstallerEntries.cpp.o.d"
  "CMakeFiles/cleaner.dir/src/cleaner/CleanSharedDlls.cpp.o"
  "CMakeFiles/cleaner.dir/src/cleaner/CleanSharedDlls.cpp.o.d"
  "CMakeFiles/cleaner.dir/src/cleaner/KeyMentionsProduct.cpp.o"
  "CMakeFiles/cleaner.dir/src/cleaner/KeyMentionsProduct.cpp.o.d"
  "CMakeFiles/cleaner.dir/src/cleaner/Keyword.cpp.o"
  "CMakeFiles/cleaner.dir/src/cleaner/Keyword.cpp.o.d"
  "CMakeFiles/cleaner.dir/src/cleaner/Tinst0.cpp.o"
  "CMakeFiles/cleaner.dir/src/cleaner/Tinst0.cpp.o.d"
  "libcleaner.a"
  "libcleaner.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/cleaner.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
