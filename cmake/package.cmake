# package.cmake: the download, written by the package target: torvane-<version>-win32.zip in the
# build folder, holding one folder torvane-<version>/ with the program, its help in both forms,
# the read-me and the licence, and beside it the zip's SHA-256 sum. The windows64 build packages
# the same folder as torvane-<version>-win64.zip, which only its tests use: the download is the
# 32-bit program, which runs on every Windows.
#
# Two builds of one commit give the same zip byte for byte: the exe carries no link time, and
# package_zip.cmake writes the zip again with every entry dated SOURCE_DATE_EPOCH (else the
# commit's date), in name order, without the builder's ids.
set(folder torvane-${PROJECT_VERSION})
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(TORVANE_PACKAGE_SYSTEM win32)
else()
  set(TORVANE_PACKAGE_SYSTEM win64)
endif()

# The licence in Windows' line ends, so that every editor on the target shows it whole.
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/ui/LICENSE.txt @ONLY
               NEWLINE_STYLE CRLF)

install(TARGETS torvane RUNTIME DESTINATION ${folder})
install(FILES
          ${CMAKE_BINARY_DIR}/ui/torvane.hlp
          ${CMAKE_BINARY_DIR}/ui/torvane-fr.htm
          ${CMAKE_BINARY_DIR}/ui/torvane-en.htm
          ${CMAKE_BINARY_DIR}/ui/LICENSE.txt
          ${CMAKE_BINARY_DIR}/ui/LISEZMOI-README.txt
        DESTINATION ${folder})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME torvane)
set(CPACK_PACKAGE_VENDOR "the Torvane authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME torvane-${PROJECT_VERSION}-${TORVANE_PACKAGE_SYSTEM})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# The folder comes from the install destinations: its name has no system in it.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_zip.cmake)
set(CPACK_TORVANE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
find_program(TORVANE_ZIP zip)
set(CPACK_TORVANE_ZIP ${TORVANE_ZIP})
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
