# Building for the web with Debian's emscripten: its own CMake platform file, and the two things
# that package needs here and no reader should have to set in their shell.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# Linking runs emscripten's JavaScript optimizer under Node. Debian installs its modules (acorn)
# under /usr/share/nodejs, where a Node that did not come from Debian does not look.
set(KESTRILON_EMSCRIPTEN_NODE_PATH /usr/share/nodejs)
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${KESTRILON_EMSCRIPTEN_NODE_PATH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${KESTRILON_EMSCRIPTEN_NODE_PATH})

# The game catches what the standard library throws (a failed allocation, a thread that cannot
# start), and the simulator unwinds the game with an exception: catching must work, which
# emscripten leaves off by default.
set(CMAKE_CXX_FLAGS_INIT "-fexceptions")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions")
