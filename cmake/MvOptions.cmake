# Compiler settings shared by every target: warnings as errors, sanitizers on request.
add_library(mv_options INTERFACE)
target_compile_features(mv_options INTERFACE cxx_std_20)
target_include_directories(mv_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(mv_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
  -Wno-sign-conversion -Werror)
# g++ 12 warns -Wrestrict inside libstdc++'s own std::string code once optimised (GCC bug
# 105329, a false positive): it would fail release builds of correct code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(mv_options INTERFACE -Wno-restrict)
endif()
if(WIN32)
  # One self-contained .exe: no libstdc++/libgcc/winpthread DLLs beside it.
  target_link_options(mv_options INTERFACE -static -static-libgcc -static-libstdc++)
  # 4 GiB of address space under 64-bit Windows instead of 2: the index of a large snapshot
  # and the readers' pieces then fit beside each other. The 64-bit linker sets the flag
  # itself and knows no such option.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(mv_options INTERFACE -Wl,--large-address-aware)
  endif()
  target_compile_definitions(mv_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0600)
else()
  # 64-bit off_t, stat and open in a 32-bit build too: snapshots pass 4 GiB.
  target_compile_definitions(mv_options INTERFACE _FILE_OFFSET_BITS=64)
endif()

set(MV_SANITIZE "" CACHE STRING "Sanitizers for every target: empty, 'address,undefined' or 'thread'")
if(MV_SANITIZE)
  target_compile_options(mv_options INTERFACE -fsanitize=${MV_SANITIZE} -fno-omit-frame-pointer
    -fno-sanitize-recover=all)
  target_link_options(mv_options INTERFACE -fsanitize=${MV_SANITIZE})
endif()
