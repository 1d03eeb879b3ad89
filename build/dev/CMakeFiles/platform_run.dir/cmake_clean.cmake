file(REMOVE_RECURSE
  "CMakeFiles/platform_run.dir/src/platform/standin/machine_standin.cpp.o"
  "CMakeFiles/platform_run.dir/src/platform/standin/machine_standin.cpp.o.d"
  "CMakeFiles/platform_run.dir/src/platform/standin/terminal_dialogs.cpp.o"
  "CMakeFiles/platform_run.dir/src/platform/standin/terminal_dialogs.cpp.o.d"
  "CMakeFiles/platform_run.dir/src/platform/standin/terminal_encoding.cpp.o"
  "CMakeFiles/platform_run.dir/src/platform/standin/terminal_encoding.cpp.o.d"
  "libplatform_run.a"
  "libplatform_run.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/platform_run.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
