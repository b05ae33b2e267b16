# The program's layers: one folder each under src/, each built as the static
# library cg_<folder>. A layer is declared once, bottom up, with the layers it
# uses and the Qt modules it links of its own:
#
#   cg_layer(<folder> [USES <layer>...] [QT <module>...] [STATEMENTS])
#
# The same declaration makes the library's links and the rules its files are
# held to (CheckLayers.cmake, run before anything is compiled): a file
# includes files of its own layer and of the layers it uses, nothing else; a
# layer that links no Qt module but Qt Core, itself or through the layers it
# uses, includes only Qt Core's headers; only a layer declared STATEMENTS
# writes statements for the database engine. A layer uses only layers
# declared before it, so the uses never run in a circle.

set(CG_LAYER_CHECKER ${CMAKE_CURRENT_LIST_DIR}/CheckLayers.cmake)
set(CG_LAYERS_DIR ${PROJECT_SOURCE_DIR}/src)

function(cg_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 arg "STATEMENTS" "" "USES;QT")
  get_property(declared GLOBAL PROPERTY CG_LAYER_FOLDERS)
  add_library(cg_${folder} STATIC)
  target_include_directories(cg_${folder} PUBLIC ${CG_LAYERS_DIR})
  target_link_libraries(cg_${folder} PRIVATE cg_options)
  foreach(used ${arg_USES})
    if(NOT used IN_LIST declared)
      message(FATAL_ERROR "cg_layer(${folder}): ${used} is not a layer declared before it")
    endif()
    target_link_libraries(cg_${folder} PUBLIC cg_${used})
  endforeach()
  foreach(module ${arg_QT})
    target_link_libraries(cg_${folder} PUBLIC Qt6::${module})
  endforeach()
  # folder|used,layers|Qt,modules|S for the check.
  list(JOIN arg_USES "," uses)
  list(JOIN arg_QT "," modules)
  set(statements "")
  if(arg_STATEMENTS)
    set(statements S)
  endif()
  set_property(GLOBAL APPEND PROPERTY CG_LAYER_FOLDERS ${folder})
  set_property(GLOBAL APPEND PROPERTY CG_LAYERS "${folder}|${uses}|${modules}|${statements}")
endfunction()

# Call once every folder has added its files: a layer's library compiles only
# sources of its own folder (resources such as assets/ are data), and every
# layer's build waits for the check.
function(cg_check_layers)
  get_property(folders GLOBAL PROPERTY CG_LAYER_FOLDERS)
  get_property(layers GLOBAL PROPERTY CG_LAYERS)
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
    COMMAND ${CMAKE_COMMAND} "-DLAYERS=${layers}" -DSOURCE_DIR=${CG_LAYERS_DIR}
      -DQT_HEADERS=${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS} -P ${CG_LAYER_CHECKER}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${checked} ${CG_LAYER_CHECKER} ${PROJECT_SOURCE_DIR}/CMakeLists.txt
    COMMENT "Checking that every layer includes only the layers it links"
    VERBATIM)
  add_custom_target(cg_layer_check DEPENDS ${stamp})
  foreach(folder ${folders})
    add_dependencies(cg_${folder} cg_layer_check)
  endforeach()
endfunction()
