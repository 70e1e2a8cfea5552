# Cross build for 32-bit Windows with Debian's MinGW-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SAVER_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# x87 arithmetic for a Pentium Pro or later: Windows 95 and NT 4 cannot run
# SSE code. Every value is held at its own type (-ffloat-store: GCC 12 has no
# standard excess precision for C++), and the savers hold the x87 to double
# precision (common/win32/x87_double_precision.cpp), so single- and
# double-precision steps round exactly as in the 64-bit and native builds;
# scripts/x87-compare.sh shows this configuration draws the same pixels.
set(CMAKE_C_FLAGS_INIT "-march=pentiumpro -mfpmath=387 -ffloat-store")
set(CMAKE_CXX_FLAGS_INIT "-march=pentiumpro -mfpmath=387 -ffloat-store")
