# Shared part of the MinGW-w64 cross toolchains (posix thread model); the including file sets
# MV_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every .exe (unit tests included) runs under Wine through the bench script, which
# prepares a throwaway prefix and a display.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine/run-exe.sh")
