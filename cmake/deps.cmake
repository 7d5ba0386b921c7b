# Third-party code from Debian: zlib (libz-mingw-w64-dev) and minizip (contrib/minizip of
# Debian's zlib source package, fetched by tools/bootstrap into .deps/). GoogleTest is
# built from /usr/src/googletest with the same toolchain as the program.
set(MINIZIP_DIR ${PROJECT_SOURCE_DIR}/.deps/minizip CACHE PATH "minizip sources")
if(NOT EXISTS ${MINIZIP_DIR}/unzip.c)
    message(FATAL_ERROR "minizip sources missing in ${MINIZIP_DIR}: run tools/bootstrap")
endif()
find_library(ZLIB_STATIC NAMES libz.a z REQUIRED)
add_library(minizip STATIC ${MINIZIP_DIR}/ioapi.c ${MINIZIP_DIR}/unzip.c ${MINIZIP_DIR}/iowin32.c)
target_include_directories(minizip SYSTEM PUBLIC ${MINIZIP_DIR})
target_compile_options(minizip PRIVATE -w)
target_link_libraries(minizip PUBLIC ${ZLIB_STATIC})

if(INSTALLER_TESTS)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
