# The program's layers: one folder each under src/, bottom up, each built as the static
# library cg_<folder>. A file of a layer's folder may include files of its own
# layer and the layers below it, and the bottom two layers (the per-OS code
# and the core) only Qt Core among Qt's headers. Every build checks this
# before it compiles anything (CheckLayers.cmake).

set(CG_LAYER_CHECKER ${CMAKE_CURRENT_LIST_DIR}/CheckLayers.cmake)
set(CG_LAYERS_DIR ${PROJECT_SOURCE_DIR}/src)

function(cg_add_layers)
  set_property(GLOBAL PROPERTY CG_LAYER_FOLDERS ${ARGN})
  foreach(folder ${ARGN})
    add_library(cg_${folder} STATIC)
    target_include_directories(cg_${folder} PUBLIC ${CG_LAYERS_DIR})
    target_link_libraries(cg_${folder} PRIVATE cg_options)
  endforeach()
endfunction()

# Call once every folder has added its files: a layer's library compiles only
# sources of its own folder (resources such as assets/ are data), and every
# layer's build waits for the check.
function(cg_check_layers)
  get_property(folders GLOBAL PROPERTY CG_LAYER_FOLDERS)
  set(checked)
  foreach(folder ${folders})
    get_target_property(sources cg_${folder} SOURCES)
    get_target_property(source_dir cg_${folder} SOURCE_DIR)
    list(FILTER sources INCLUDE REGEX "\\.(h|cpp)$")
    foreach(source ${sources})
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir} NORMALIZE)
      cmake_path(IS_PREFIX CMAKE_BINARY_DIR ${source} NORMALIZE generated)
      cmake_path(IS_PREFIX PROJECT_SOURCE_DIR ${source} NORMALIZE in_project)
      if(NOT generated AND in_project)
        cmake_path(RELATIVE_PATH source BASE_DIRECTORY ${CG_LAYERS_DIR})
        if(NOT source MATCHES "^${folder}/")
          message(FATAL_ERROR "cg_${folder} builds ${source}, a file outside its folder ${folder}/")
        endif()
      endif()
    endforeach()
    file(GLOB_RECURSE files CONFIGURE_DEPENDS ${CG_LAYERS_DIR}/${folder}/*.h ${CG_LAYERS_DIR}/${folder}/*.cpp)
    list(APPEND checked ${files})
  endforeach()
  set(stamp ${CMAKE_BINARY_DIR}/layers.checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} "-DLAYERS=${folders}" -DSOURCE_DIR=${CG_LAYERS_DIR}
      -DQT_HEADERS=${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS} -P ${CG_LAYER_CHECKER}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${checked} ${CG_LAYER_CHECKER}
    COMMENT "Checking that every layer uses only the layers below it"
    VERBATIM)
  add_custom_target(cg_layer_check DEPENDS ${stamp})
  foreach(folder ${folders})
    add_dependencies(cg_${folder} cg_layer_check)
  endforeach()
endfunction()
