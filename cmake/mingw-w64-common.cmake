# What both MinGW-w64 cross builds share; the including file sets
# CMAKE_SYSTEM_PROCESSOR and SAVER_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
# The posix thread model gives GoogleTest std::mutex.
set(CMAKE_C_COMPILER ${SAVER_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SAVER_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SAVER_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SAVER_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime, so Wine and Windows need no MinGW DLLs beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
