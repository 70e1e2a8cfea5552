# The shipped programs of the 64-bit build (ondrels.scr, kesmar.scr, snap.exe):
# the win32 thread model, so no POSIX thread runtime is linked in.
set(SAVER_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64.cmake)
