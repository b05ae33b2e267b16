# The program's layers: static libraries in order from the bottom up. A file
# of a layer may include files of its own layer and the layers below it, and
# the bottom two layers (the per-OS code and the core) only Qt Core among
# Qt's headers. Every build checks this before it compiles anything.

set(CG_LAYER_CHECKER ${CMAKE_CURRENT_LIST_DIR}/CheckLayers.cmake)

function(cg_add_layers)
  set_property(GLOBAL PROPERTY CG_LAYERS ${ARGN})
  foreach(layer ${ARGN})
    add_library(${layer} STATIC)
    target_include_directories(${layer} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${layer} PRIVATE cg_options)
  endforeach()
endfunction()

# Writes down which file belongs to which layer and adds the check that every
# layer's build waits for. Call once every folder has added its files.
function(cg_check_layers)
  get_property(layers GLOBAL PROPERTY CG_LAYERS)
  set(description "set(CG_LAYERS ${layers})\n")
  set(all_files)
  foreach(layer ${layers})
    get_target_property(sources ${layer} SOURCES)
    get_target_property(other ${layer} CG_OTHER_SYSTEM_SOURCES)
    if(other)
      list(APPEND sources ${other})
    endif()
    list(FILTER sources INCLUDE REGEX "\\.(h|cpp)$")
    string(APPEND description "set(CG_LAYER_${layer} ${sources})\n")
    list(APPEND all_files ${sources})
  endforeach()
  set(layer_file ${CMAKE_BINARY_DIR}/layers.cmake)
  file(GENERATE OUTPUT ${layer_file} CONTENT "${description}")
  set(stamp ${CMAKE_BINARY_DIR}/layers.checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DLAYER_FILE=${layer_file} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
      -DQT_HEADERS=${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS} -P ${CG_LAYER_CHECKER}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${all_files} ${layer_file} ${CG_LAYER_CHECKER}
    COMMENT "Checking that every layer uses only the layers below it"
    VERBATIM)
  add_custom_target(cg_layer_check DEPENDS ${stamp})
  foreach(layer ${layers})
    add_dependencies(${layer} cg_layer_check)
  endforeach()
endfunction()
