# check_imports.cmake: fails when torvane.exe imports any DLL but the Windows system ones, so that
# the program runs from a bare folder, or a function that Windows XP lacks, so that it loads there.
# Run as: cmake -DEXE=... -DOBJDUMP=... -P check_imports.cmake
cmake_minimum_required(VERSION 3.25)
# The one list of allowed DLLs, shared with scripts/bench.sh.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/system_dlls.txt allowed REGEX "^[^#]")

execute_process(COMMAND ${OBJDUMP} -p ${EXE}
                OUTPUT_VARIABLE dump RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${EXE}: ${errors}")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "no imported DLL found in ${EXE}: not a linked program?")
endif()
set(bad "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" dll)
  message(STATUS "imports ${dll}")
  if(NOT dll IN_LIST allowed)
    list(APPEND bad ${dll})
  endif()
endforeach()
# The display-scale functions of later Windows: the program looks them up at run time
# (GetProcAddress), since XP's loader refuses an exe that imports a function its DLLs lack.
foreach(name GetDpiForWindow AdjustWindowRectExForDpi GetSystemMetricsForDpi
        SystemParametersInfoForDpi SetProcessDpiAwarenessContext SetThreadDpiAwarenessContext
        SetProcessDPIAware EnableNonClientDpiScaling)
  if(dump MATCHES "[ \t]${name}[\r\n]")
    list(APPEND bad ${name})
  endif()
endforeach()
if(bad)
  message(FATAL_ERROR "torvane.exe imports DLLs that Windows does not ship, or functions that "
                      "Windows XP lacks: ${bad}")
endif()
