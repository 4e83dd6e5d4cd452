# Cross toolchain: 64-bit Windows through MinGW-w64, posix threads. The same sources as the
# 32-bit product; this is the build that runs under 64-bit Wine on hosts without 32-bit
# user mode (where wine32 cannot start at all).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MV_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
