# Cross toolchain: 64-bit Windows through MinGW-w64 with the posix thread model. The product
# is the 32-bit build; this one exists so that the Windows tests, the GUI tests and the
# screenshots also run under a 64-bit-only Wine (a kernel without 32-bit execution).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MV_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-posix.cmake)
