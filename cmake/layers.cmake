# The layer order of the sources, bottom first:
#
#   platform  src/platform/
#   model     src/model/, src/i18n/, the value types of src/stitching/ (files named
#             *iron*, *hole_shape*, *stitch_types*)
#   editor    src/shell/
#   commands  src/tools/, src/render/, src/edit/, the rest of src/stitching/,
#             src/library/, src/construct/, src/maker/
#   outputs   src/exchange/, src/stl/, src/automation/
#   windows   every src/<folder>/ui/
#   program   src/app/
#
# Each layer is one static library that links only the layers below it, and compiles
# against a header tree of its own in the build folder that holds only the headers of its
# layer and the layers below (links to the files in src/). An include of a header from a
# higher layer therefore does not compile: "No such file or directory".

set(QUILLON_LAYER_ORDER platform model editor commands outputs windows program)
set(QUILLON_LAYER_ROOT ${CMAKE_BINARY_DIR}/layers)

# The layer of a file, from its path relative to src/.
function(quillon_layer_of rel out)
  if(rel MATCHES "(^|/)ui/")
    set(layer windows)
  elseif(rel MATCHES "^app/")
    set(layer program)
  elseif(rel MATCHES "^platform/")
    set(layer platform)
  elseif(rel MATCHES "^(model|i18n)/")
    set(layer model)
  elseif(rel MATCHES "^stitching/[^/]*(iron|hole_shape|stitch_types)[^/]*$")
    set(layer model)
  elseif(rel MATCHES "^shell/")
    set(layer editor)
  elseif(rel MATCHES "^(tools|render|edit|stitching|library|construct|maker)/")
    set(layer commands)
  elseif(rel MATCHES "^(exchange|stl|automation)/")
    set(layer outputs)
  else()
    message(FATAL_ERROR "src/${rel}: its folder belongs to no layer (cmake/layers.cmake)")
  endif()
  set(${out} ${layer} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE QUILLON_ALL_FILES CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/src
  ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h)

foreach(layer IN LISTS QUILLON_LAYER_ORDER)
  set(QUILLON_SOURCES_${layer})
  set(QUILLON_HEADERS_${layer})
endforeach()
foreach(rel IN LISTS QUILLON_ALL_FILES)
  quillon_layer_of(${rel} layer)
  if(rel MATCHES "\\.h$")
    list(APPEND QUILLON_HEADERS_${layer} ${rel})
  endif()
  list(APPEND QUILLON_SOURCES_${layer} ${CMAKE_SOURCE_DIR}/src/${rel})
endforeach()

# The header trees: made afresh at every configure, so a moved or deleted header leaves
# no stale link behind.
file(REMOVE_RECURSE ${QUILLON_LAYER_ROOT})
set(below)
foreach(layer IN LISTS QUILLON_LAYER_ORDER)
  list(APPEND below ${layer})
  foreach(lower IN LISTS below)
    foreach(rel IN LISTS QUILLON_HEADERS_${lower})
      get_filename_component(dir ${QUILLON_LAYER_ROOT}/${layer}/${rel} DIRECTORY)
      file(MAKE_DIRECTORY ${dir})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${rel} ${QUILLON_LAYER_ROOT}/${layer}/${rel} SYMBOLIC)
    endforeach()
  endforeach()
  file(MAKE_DIRECTORY ${QUILLON_LAYER_ROOT}/${layer})
endforeach()

# Compiles `target` against the header tree of `layer`.
function(quillon_layer_includes target layer)
  target_include_directories(${target} PRIVATE ${QUILLON_LAYER_ROOT}/${layer})
endfunction()

# The precompiled headers: the Qt, standard and JSON headers that most files include.
# Made once, by quillon_platform, and reused by the other layers (the layers differ only
# in their include folders, which a precompiled header does not depend on).
set(QUILLON_PCH_HEADERS
  <algorithm> <cmath> <functional> <map> <memory> <optional> <string> <vector>
  <QByteArray> <QColor> <QImage> <QPainter> <QPainterPath> <QString> <QStringList>
  <nlohmann/json.hpp>)

# quillon_layer(<target> <layer> [LINKS ...] [PRIVATE_LINKS ...]): the static library of a
# layer, with every source file of that layer.
function(quillon_layer target layer)
  cmake_parse_arguments(ARG "" "" "LINKS;PRIVATE_LINKS" ${ARGN})
  add_library(${target} STATIC ${QUILLON_SOURCES_${layer}})
  quillon_layer_includes(${target} ${layer})
  target_link_libraries(${target} PUBLIC ${ARG_LINKS} PRIVATE ${ARG_PRIVATE_LINKS})
  target_compile_options(${target} PRIVATE ${QUILLON_WARNINGS})
  if(QUILLON_PCH)
    if(layer STREQUAL "platform")
      target_precompile_headers(${target} PRIVATE ${QUILLON_PCH_HEADERS})
    else()
      target_precompile_headers(${target} REUSE_FROM quillon_platform)
    endif()
  endif()
endfunction()
