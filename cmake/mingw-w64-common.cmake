# What both MinGW-w64 cross builds share; the including file sets
# CMAKE_SYSTEM_PROCESSOR and SAVER_MINGW_TRIPLE first, and may set
# SAVER_MINGW_THREADS to the toolchain's thread model: posix (the default)
# or win32.
set(CMAKE_SYSTEM_NAME Windows)
# The posix thread model gives GoogleTest std::mutex and std::condition_variable;
# it links the POSIX thread runtime, which imports system functions newer than
# the shipped programs may use, so those are built with the win32 thread model
# in a configuration of their own (see WindowsBuild.cmake).
if(NOT DEFINED SAVER_MINGW_THREADS)
  set(SAVER_MINGW_THREADS posix)
endif()
set(CMAKE_C_COMPILER ${SAVER_MINGW_TRIPLE}-gcc-${SAVER_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${SAVER_MINGW_TRIPLE}-g++-${SAVER_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${SAVER_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SAVER_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime, so Wine and Windows need no MinGW DLLs beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
