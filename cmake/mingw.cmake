# Cross-building t_uninst.exe for Windows with mingw-w64, for the processor
# the including file sets (i686 or x86_64). Its programs run under Wine: the
# tests start them through tests/wine/wine_run.py, which picks Wine's loader.
set(CMAKE_SYSTEM_NAME Windows)
set(T_UNINST_MINGW ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${T_UNINST_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${T_UNINST_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${T_UNINST_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${T_UNINST_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages (GoogleTest's) built for mingw, never the build machine's own.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
