# package_zip.cmake: run by CPack once it has written the zip, before it copies it beside the
# build and sums it: writes the zip again from the same staged folder so that two builds of one
# commit give the same bytes. CMake 3.25's archive writer adds the entries in the order the file
# system lists them and stores the builder's user and group ids; here every entry is dated
# SOURCE_DATE_EPOCH (else the date of the commit built, else a fixed date for sources outside
# git), given fixed permissions, and stored in name order by Info-ZIP's zip without the Unix
# extra fields.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  # Only a read: a checkout owned by another user is fine.
  execute_process(COMMAND git -c safe.directory=* -C ${CPACK_TORVANE_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE status ERROR_QUIET)
  if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    set(epoch 1767225600)  # 2026-01-01 00:00 UTC
    message(STATUS "package: no SOURCE_DATE_EPOCH and no git commit: entries dated 2026-01-01")
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "package: SOURCE_DATE_EPOCH is not a number of seconds: ${epoch}")
endif()
if(NOT CPACK_TORVANE_ZIP)
  message(FATAL_ERROR "package: Info-ZIP's zip is missing; run: bash scripts/setup.sh")
endif()
list(LENGTH CPACK_PACKAGE_FILES count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "package: one zip expected, not: ${CPACK_PACKAGE_FILES}")
endif()

# A zip stores local times: taken in UTC, the builder's time zone does not show.
set(ENV{TZ} UTC0)
set(staged ${CPACK_TEMPORARY_DIRECTORY})
file(GLOB_RECURSE entries RELATIVE ${staged} LIST_DIRECTORIES true "${staged}/*")
list(SORT entries)
foreach(entry IN LISTS entries)
  if(IS_DIRECTORY "${staged}/${entry}" OR entry MATCHES "\\.exe$")
    file(CHMOD "${staged}/${entry}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  else()
    file(CHMOD "${staged}/${entry}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endforeach()
execute_process(COMMAND touch --no-dereference --date=@${epoch} ${entries}
                WORKING_DIRECTORY ${staged} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "package: cannot date the staged files")
endif()

file(REMOVE ${CPACK_PACKAGE_FILES})
execute_process(COMMAND ${CPACK_TORVANE_ZIP} -X -q ${CPACK_PACKAGE_FILES} ${entries}
                WORKING_DIRECTORY ${staged} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "package: zip failed on ${CPACK_PACKAGE_FILES}")
endif()
