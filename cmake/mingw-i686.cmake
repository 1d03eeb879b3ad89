# t_uninst.exe for 32-bit Windows (it runs on 64-bit Windows too).
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
