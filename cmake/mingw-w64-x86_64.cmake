# Cross-compiling for 64-bit Windows with Debian's mingw-w64. The -posix compilers are the ones
# whose runtime has std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRILON_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRILON_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRILON_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRILON_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRILON_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and the build's own runs of cross-built programs go through Wine.
get_filename_component(KESTRILON_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTRILON_WINE_RUN})
