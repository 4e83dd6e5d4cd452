# Settings shared by both MinGW-w64 toolchains (posix thread model): Windows target, the
# cross sysroot only, and every .exe run under Wine through the bench script.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The script prepares a throwaway prefix (in the build tree) and a display on first use.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine/run-exe.sh")
