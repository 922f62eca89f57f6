# The header-only libraries every build uses, from the build machine's
# /usr/include (Debian: libfast-float-dev, libfmt-dev, libstb-dev,
# libcli11-dev). The cross-compilers (mingw-w64, emscripten) do not search
# /usr/include, and cannot be given all of it (its C library headers are the
# machine's own), so every build reaches these through a folder of links to
# just their folders: target scenova_header_only.
set(SCENOVA_HEADER_ONLY_DIR ${PROJECT_BINARY_DIR}/header-only)
foreach(entry IN ITEMS fast_float/fast_float.h fmt/format.h stb/stb_image.h CLI/CLI.hpp)
  get_filename_component(folder ${entry} DIRECTORY)
  find_path(SCENOVA_${folder}_INCLUDE_DIR ${entry} PATHS /usr/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT SCENOVA_${folder}_INCLUDE_DIR)
    message(FATAL_ERROR "/usr/include/${entry} not found: run scripts/setup")
  endif()
  file(MAKE_DIRECTORY ${SCENOVA_HEADER_ONLY_DIR})
  file(CREATE_LINK ${SCENOVA_${folder}_INCLUDE_DIR}/${folder} ${SCENOVA_HEADER_ONLY_DIR}/${folder}
       SYMBOLIC)
endforeach()
add_library(scenova_header_only INTERFACE)
target_include_directories(scenova_header_only SYSTEM INTERFACE ${SCENOVA_HEADER_ONLY_DIR})
