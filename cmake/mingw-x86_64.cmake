# Cross build of the 64-bit Windows program with MinGW-w64. The shipped program is the 32-bit
# one; this build exists so that the program and its tests run where only 64-bit code
# executes, and so that pointer-size faults show.
set(ORBEX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# The 64-bit loader by name: Debian's "wine" launcher picks the 32-bit one whenever it is
# installed, even where it cannot run.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
