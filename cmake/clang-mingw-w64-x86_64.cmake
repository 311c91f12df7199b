# Cross-compile the same 64-bit Windows binaries with Clang and LLD, on the
# MinGW-w64 headers, import libraries and C++ runtime (libstdc++, posix thread
# model) that the GCC build uses (cmake/mingw-w64-x86_64.cmake). Debian's Clang
# does not find that GCC's C++ headers for this target by itself.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_PREFIX x86_64-w64-mingw32)
set(MINGW_SYSROOT /usr/${MINGW_PREFIX})
file(GLOB MINGW_GCC_DIR LIST_DIRECTORIES true /usr/lib/gcc/${MINGW_PREFIX}/*-posix)
if(NOT MINGW_GCC_DIR)
  message(FATAL_ERROR "No posix MinGW-w64 GCC below /usr/lib/gcc/${MINGW_PREFIX} (g++-mingw-w64-x86-64-posix)")
endif()

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${MINGW_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${MINGW_PREFIX})
set(CMAKE_SYSROOT ${MINGW_SYSROOT})
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)

# libstdc++ keeps its thread-local variables the way GCC does for this target:
# emulated.
set(CMAKE_C_FLAGS_INIT "-femulated-tls")
set(CMAKE_CXX_FLAGS_INIT "-femulated-tls -nostdinc++ -isystem ${MINGW_GCC_DIR}/include/c++ -isystem ${MINGW_GCC_DIR}/include/c++/${MINGW_PREFIX} -isystem ${MINGW_GCC_DIR}/include/c++/backward")
# The C++ flags reach the link step too, where -nostdinc++ means nothing.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${MINGW_GCC_DIR} -Wno-unused-command-line-argument")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -L${MINGW_GCC_DIR} -Wno-unused-command-line-argument")
# libstdc++ of the posix thread model needs winpthread, which GCC's driver adds
# and Clang's does not; the rest is CMake's usual list for this platform.
set(CMAKE_CXX_STANDARD_LIBRARIES "-lpthread -lkernel32 -luser32 -lgdi32 -lwinspool -lshell32 -lole32 -loleaut32 -luuid -lcomdlg32 -ladvapi32"
    CACHE STRING "Libraries linked into every C++ module")

set(CMAKE_FIND_ROOT_PATH ${MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# CTest runs the test executables through Wine.
find_program(WINE_EXECUTABLE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXECUTABLE})
