# Windows configurations. Both builds run their test programs through Wine
# under a virtual display (see cmake/wine-harness.sh): the 64-bit build on the
# system's Wine, the 32-bit build on the 32-bit Wine that
# scripts/setup-wine32.sh unpacks.
set(SAVER_RUN_WINDOWS_TESTS ON)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(SAVER_WINE_ARCH win64)
else()
  set(SAVER_WINE_ARCH win32)
endif()
set(SAVER_WINE_HARNESS ${CMAKE_SOURCE_DIR}/cmake/wine-harness.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SAVER_WINE_HARNESS};run;${CMAKE_BINARY_DIR})

# The shipped programs' sources see only what Windows 95 and NT 4 have: a call
# of anything newer does not compile, and what the programs use on newer
# systems is looked up at run time. Common controls as Windows 95 and NT 4
# ship them (comctl32 4.00). The headers cannot tell NT-only functions from
# the others; tests/imports holds the programs to a reviewed list of imports.
set(SAVER_OLDEST_WINDOWS_DEFINITIONS WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0200)

# ondrels.scr, kesmar.scr and snap.exe link no POSIX thread runtime: they are
# built by a configuration of their own (build/<arch>/programs) with the
# toolchain's win32 thread model, from the same sources, into this
# configuration's bin/. The tests and other programs here keep the posix
# thread model GoogleTest needs. A target of each program's name builds it, so
# the tests can depend on it.
if(SAVER_PROGRAMS_ONLY)
  set(SAVER_SHIPPED_PROGRAMS_HERE ON)
else()
  set(SAVER_SHIPPED_PROGRAMS_HERE OFF)
  include(ExternalProject)
  ExternalProject_Add(saver_programs
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/programs
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64-${CMAKE_SYSTEM_PROCESSOR}-programs.cmake
      -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
      -DSAVER_PROGRAMS_ONLY=ON
      -DSAVER_PROGRAMS_OUTPUT_DIR=${CMAKE_BINARY_DIR}/bin
    INSTALL_COMMAND ""
    # Its own build knows what changed; it is asked every time.
    BUILD_ALWAYS ON
  )
endif()

# Stands for a shipped program that the programs' configuration builds.
function(add_shipped_program_target target)
  add_custom_target(${target})
  add_dependencies(${target} saver_programs)
endfunction()

# The shipped programs keep only what they run: their configuration puts
# every function and datum in a section of its own (see the top-level
# CMakeLists.txt), and the programs drop the sections nothing reaches.
# tests/imports checks their symbol tables for what only tests and tools use.
function(saver_drop_unused_sections target)
  target_link_options(${target} PRIVATE -Wl,--gc-sections)
endfunction()
