# Windows configurations. The 64-bit build runs its test programs through Wine
# under a virtual display (see cmake/wine-harness.sh); the 32-bit build can only
# be compiled on this kind of machine, so it registers no tests.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(SAVER_RUN_WINDOWS_TESTS ON)
  set(SAVER_WINE_HARNESS ${CMAKE_SOURCE_DIR}/cmake/wine-harness.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SAVER_WINE_HARNESS};run;${CMAKE_BINARY_DIR})
else()
  set(SAVER_RUN_WINDOWS_TESTS OFF)
endif()
