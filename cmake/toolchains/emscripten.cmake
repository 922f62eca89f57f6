# WebAssembly with Debian's emscripten (3.1.6, clang 14 with its own libc++):
# the preset wasm. What this compiler needs beyond the usual is all here.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# WebAssembly's own exceptions (node 17 and later, current browsers): a
# smaller module than exceptions emulated in JavaScript, and no slower.
# Without either kind the first throw ends the program; every object and
# the link must use the same kind (CMake passes these flags to the link too).
set(CMAKE_CXX_FLAGS_INIT "-fwasm-exceptions")

# At the link em++ runs its JavaScript optimiser on node, which needs
# Debian's acorn module from /usr/share/nodejs.
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# Programs run under node work on the machine's own files, with as much
# memory as they need, and flush their output when they end.
set(SCENOVA_NODE_LINK_OPTIONS -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
# node 18 and 20 would load the .wasm file with their fetch(), which takes no
# file paths.
set(CMAKE_CROSSCOMPILING_EMULATOR node --no-experimental-fetch)
