# Linux, 32-bit x86: g++ -m32 (Debian's g++-multilib). The test programs run as they are
# where 32-bit programs start here (a kernel with 32-bit user mode, or qemu-i386 registered
# with binfmt_misc), else through qemu-i386 (Debian's qemu-user) as CMake's emulator.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
# Only i386 packages: the 64-bit smbclient headers and libraries are of no use here.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)

# Whether a static 32-bit program starts: asked once per build tree, before any compiler
# check, with the compiler this file names; the compiler checks themselves run nothing.
if(NOT DEFINED CACHE{MV_I386_RUNS} AND NOT CMAKE_IN_TRY_COMPILE)
  set(probe_dir ${CMAKE_BINARY_DIR}/CMakeFiles/i386-probe)
  file(MAKE_DIRECTORY ${probe_dir})
  file(WRITE ${probe_dir}/probe.c "int main(void) { return 0; }\n")
  execute_process(COMMAND ${CMAKE_C_COMPILER} -m32 -static -o ${probe_dir}/probe ${probe_dir}/probe.c
    RESULT_VARIABLE built OUTPUT_QUIET ERROR_QUIET)
  set(runs OFF)
  if(built EQUAL 0)
    execute_process(COMMAND ${probe_dir}/probe RESULT_VARIABLE ran OUTPUT_QUIET ERROR_QUIET)
    if(ran EQUAL 0)
      set(runs ON)
    endif()
  endif()
  set(MV_I386_RUNS ${runs} CACHE BOOL "32-bit x86 programs start on this machine")
endif()
if(DEFINED CACHE{MV_I386_RUNS} AND NOT MV_I386_RUNS)
  find_program(MV_QEMU_I386 qemu-i386)
  if(MV_QEMU_I386)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${MV_QEMU_I386})
  endif()
endif()
