# Cross-compile 32-bit Windows binaries with MinGW-w64. Debian's i686 compiler
# unwinds with DWARF-2 tables, which each module registers with the unwinder it
# is linked with: see CMakeLists.txt for why the 32-bit build shares one
# unwinder among all modules.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
