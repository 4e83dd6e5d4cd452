# Cross toolchain: 32-bit Windows through MinGW-w64 with the posix thread model.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MV_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix.cmake)
