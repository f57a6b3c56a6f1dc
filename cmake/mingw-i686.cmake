# Cross build of the 32-bit Windows program (what ships) with MinGW-w64.
set(ORBEX_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# Every machine the program runs on has SSE2: the pixel kernels use it, and double maths runs
# in SSE registers as in the native build (no x87 excess precision), so both builds round alike.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
