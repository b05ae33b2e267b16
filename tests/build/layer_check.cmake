# The layer check on a small tree of three layers (platform, core, ui): it
# passes the tree as it is and fails each wrong-way include, naming it, and
# a statement written in a window file.

file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/platform/Os.h "#pragma once\n#include <QString>\n")
file(WRITE ${WORK}/core/Rule.cpp "#include \"platform/Os.h\"\n#include <QtCore/QList>\n#include <cmath>\n")
file(WRITE ${WORK}/ui/Box.h "#pragma once\n#include \"core/Rule.cpp\"\n#include <QWidget>\n")
file(WRITE ${WORK}/layers.cmake "set(CG_LAYERS p c u)
set(CG_LAYER_p ${WORK}/platform/Os.h)
set(CG_LAYER_c ${WORK}/core/Rule.cpp)
set(CG_LAYER_u ${WORK}/ui/Box.h)
")

function(check expect_failure expect_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DLAYER_FILE=${WORK}/layers.cmake -DSOURCE_DIR=${WORK}
    -DQT_HEADERS=${QT_HEADERS} -P ${CHECKER} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(expect_failure AND rc EQUAL 0)
    message(FATAL_ERROR "the check passed a tree that ${expect_text}")
  elseif(NOT expect_failure AND NOT rc EQUAL 0)
    message(FATAL_ERROR "the check failed a sound tree:\n${err}")
  elseif(expect_failure AND NOT err MATCHES "${expect_text}")
    message(FATAL_ERROR "the check failed without saying why (${expect_text}):\n${err}")
  endif()
endfunction()

check(FALSE "")

file(WRITE ${WORK}/ui/Box.h "#pragma once\nauto q = QStringLiteral(\"select name from user\");\n")
check(TRUE "ui/Box.h \\(u\\) holds a statement")
file(WRITE ${WORK}/ui/Box.h "#pragma once\n#include <QWidget>\n")

file(APPEND ${WORK}/core/Rule.cpp "#include <QWidget>\n")
check(TRUE "core/Rule.cpp \\(c\\) includes <QWidget>, a QtWidgets header")
file(WRITE ${WORK}/core/Rule.cpp "#include <QtGui/QColor>\n")
check(TRUE "core/Rule.cpp \\(c\\) includes <QtGui/QColor>, a QtGui header")

file(WRITE ${WORK}/core/Rule.cpp "#include \"ui/Box.h\"\n")
check(TRUE "core/Rule.cpp \\(c\\) includes ui/Box.h from the layer above, u")
file(WRITE ${WORK}/core/Rule.cpp "#include \"../ui/Box.h\"\n")
check(TRUE "includes ../ui/Box.h from the layer above")

file(WRITE ${WORK}/stray.h "#pragma once\n")
file(WRITE ${WORK}/core/Rule.cpp "#include \"stray.h\"\n")
check(TRUE "includes stray.h, which belongs to no layer")
