# cmake "-DLAYERS=platform||Core|;core|platform|Core|S;…" -DSOURCE_DIR=<layers> -DQT_HEADERS=<dir> -P CheckLayers.cmake
#
# The layers are the folders of SOURCE_DIR named in LAYERS, bottom up, each as
# folder|the layers it uses|the Qt modules it links|S when it writes
# statements (cmake/Layers.cmake declares them). Every .h and .cpp file under
# them is checked, whatever the system it is built for:
# - an include of a project file, written with quotes or angle brackets,
#   names a file of the includer's own layer or of a layer it uses, never
#   one of another layer or one outside every layer;
# - a layer that links no Qt module but Qt Core, itself or through the
#   layers it uses, includes no other Qt header;
# - only the layers that write statements hold one: the windows ask the
#   core's named questions. Statements are written with their keyword in
#   capitals ("SELECT ", "UPDATE "); a window's message that merely starts
#   with the same word ("Update …") is none.

cmake_minimum_required(VERSION 3.25)

set(sql_start "\"[ \t]*(SELECT|INSERT|UPDATE|DELETE|CREATE|DROP|ALTER|PRAGMA)[ \t]")

set(names)
foreach(entry ${LAYERS})
  if(NOT entry MATCHES "^([^|]+)\\|([^|]*)\\|([^|]*)\\|(S?)$")
    message(FATAL_ERROR "not a layer: ${entry}")
  endif()
  set(layer ${CMAKE_MATCH_1})
  set(statements ${CMAKE_MATCH_4})
  string(REPLACE "," ";" uses "${CMAKE_MATCH_2}")
  string(REPLACE "," ";" modules "${CMAKE_MATCH_3}")
  list(APPEND names ${layer})
  set(is_layer_${layer} TRUE)
  set(uses_${layer} ${uses})
  set(statements_${layer} ${statements})
  # Qt Core only, unless the layer or one it uses links another module.
  set(core_only_${layer} TRUE)
  foreach(module ${modules})
    if(NOT module STREQUAL "Core")
      set(core_only_${layer} FALSE)
    endif()
  endforeach()
  foreach(used ${uses})
    if(NOT core_only_${used})
      set(core_only_${layer} FALSE)
    endif()
  endforeach()
endforeach()

# The layer of a project file (a path inside SOURCE_DIR), or "" outside them.
function(layer_of path out)
  file(RELATIVE_PATH relative ${SOURCE_DIR} ${path})
  string(REGEX MATCH "^[^/]+/" top "${relative}")
  string(REGEX REPLACE "/$" "" top "${top}")
  if(top AND is_layer_${top})
    set(${out} ${top} PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# The Qt module of an angle-bracket header: QtWidgets/QWidget or QWidget.
function(qt_module_of header out)
  set(module "")
  if(header MATCHES "^(Qt[A-Za-z]+)/")
    set(module ${CMAKE_MATCH_1})
  elseif(EXISTS ${QT_HEADERS}/QtCore/${header})
    set(module QtCore)
  else()
    foreach(candidate QtGui QtWidgets QtPrintSupport QtNetwork QtSql QtTest QtConcurrent QtSvg)
      if(EXISTS ${QT_HEADERS}/${candidate}/${header})
        set(module ${candidate})
        break()
      endif()
    endforeach()
  endif()
  set(${out} ${module} PARENT_SCOPE)
endfunction()

set(faults)
foreach(layer ${names})
  file(GLOB_RECURSE files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(file ${files})
    file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
    if(NOT statements_${layer})
      file(STRINGS ${file} statements REGEX "${sql_start}")
      if(statements)
        list(GET statements 0 first)
        string(STRIP "${first}" first)
        list(APPEND faults "${shown} holds a statement, ${first}: windows ask the core's named questions")
      endif()
    endif()
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    get_filename_component(dir ${file} DIRECTORY)
    foreach(line ${includes})
      string(REGEX MATCH "[<\"]([^>\"]+)[>\"]" _ "${line}")
      set(header ${CMAKE_MATCH_1})
      # A project file, however it is spelt: beside the includer or from the
      # project's root, the include path every layer has.
      set(target "")
      foreach(base ${dir} ${SOURCE_DIR})
        if(EXISTS ${base}/${header} AND NOT IS_DIRECTORY ${base}/${header})
          get_filename_component(target ${base}/${header} ABSOLUTE)
          break()
        endif()
      endforeach()
      if(target)
        layer_of(${target} target_layer)
        if(NOT target_layer)
          list(APPEND faults "${shown}: includes ${header}, which belongs to no layer")
        elseif(NOT target_layer STREQUAL layer AND NOT target_layer IN_LIST uses_${layer})
          list(APPEND faults "${shown} (${layer}) includes ${header} from ${target_layer}, a layer ${layer} does not use")
        endif()
      elseif(core_only_${layer} AND line MATCHES "<Q")
        qt_module_of(${header} module)
        if(module AND NOT module STREQUAL "QtCore")
          list(APPEND faults "${shown} (${layer}) includes <${header}>, a ${module} header: ${layer} uses Qt Core only")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "The layers are not kept:\n  ${text}")
endif()
