file(REMOVE_RECURSE
  "CMakeFiles/registry.dir/src/registry/ERegistryException.cpp.o"
  "CMakeFiles/registry.dir/src/registry/ERegistryException.cpp.o.d"
  "CMakeFiles/registry.dir/src/registry/EnumerateName.cpp.o"
  "CMakeFiles/registry.dir/src/registry/EnumerateName.cpp.o.d"
  "CMakeFiles/registry.dir/src/registry/SystemFacts.cpp.o"
  "CMakeFiles/registry.dir/src/registry/SystemFacts.cpp.o.d"
  "CMakeFiles/registry.dir/src/registry/TRegistry.cpp.o"
  "CMakeFiles/registry.dir/src/registry/TRegistry.cpp.o.d"
  "CMakeFiles/registry.dir/src/registry/ValueKind.cpp.o"
  "CMakeFiles/registry.dir/src/registry/ValueKind.cpp.o.d"
  "libregistry.a"
  "libregistry.pdb"
)

# Per-language clean rules from dependency scanning.
foreach(lang CXX)
  include(CMakeFiles/registry.dir/cmake_clean_${lang}.cmake OPTIONAL)
endforeach()
