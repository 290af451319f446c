# check_header.cmake: fails when torvane.exe's header claims an older Windows than XP (5.1), the
# oldest it runs on, or when the file has grown to 100 KB. Run as:
# cmake -DEXE=... -DOBJDUMP=... -P check_header.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${OBJDUMP} -p ${EXE}
                OUTPUT_VARIABLE dump RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${EXE}: ${errors}")
endif()
foreach(field IN ITEMS OSystem Subsystem)
  string(REGEX MATCH "Major${field}Version[ \t]+([0-9]+)" major "${dump}")
  set(major ${CMAKE_MATCH_1})
  string(REGEX MATCH "Minor${field}Version[ \t]+([0-9]+)" minor "${dump}")
  message(STATUS "${field} version ${major}.${CMAKE_MATCH_1}")
  if(NOT "${major}.${CMAKE_MATCH_1}" STREQUAL "5.1")
    message(FATAL_ERROR "the ${field} version is ${major}.${CMAKE_MATCH_1}, not 5.1 (Windows XP)")
  endif()
endforeach()
file(SIZE ${EXE} size)
message(STATUS "${size} bytes")
if(NOT size LESS 100000)
  message(FATAL_ERROR "torvane.exe is ${size} bytes, not under 100 KB (100000 bytes)")
endif()
