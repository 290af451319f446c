# toolchain-mingw.cmake: cross-builds the Windows program with mingw-w64 on Linux. The shipped
# program is 32-bit (i686); TORVANE_MINGW_PROCESSOR x86_64 gives the 64-bit build that runs the
# end-to-end tests where a machine cannot run 32-bit code.
if(NOT DEFINED TORVANE_MINGW_PROCESSOR)
  set(TORVANE_MINGW_PROCESSOR i686)
endif()
# Try-compiles run in projects of their own: they must see the same processor.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TORVANE_MINGW_PROCESSOR)
set(triplet ${TORVANE_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TORVANE_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
