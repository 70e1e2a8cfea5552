# Cross build for 32-bit Windows with Debian's MinGW-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SAVER_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${SAVER_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SAVER_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SAVER_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SAVER_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# SSE arithmetic instead of the x87 stack: single- and double-precision steps
# then round exactly as in the 64-bit and native builds.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
