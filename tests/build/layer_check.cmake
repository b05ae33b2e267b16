# The layer check on a small tree of four layers declared as the program's
# are (core and ui on platform, windows on all three): it passes the tree as
# it is, and fails each wrong include, however it is spelt, and a statement
# written in a window file, naming the fault.

file(REMOVE_RECURSE ${WORK})
file(WRITE ${WORK}/platform/Os.h "#pragma once\n#include <QString>\n")
file(WRITE ${WORK}/core/data/Rule.h "#pragma once\n#include \"platform/Os.h\"\n#include <QtCore/QList>\n#include <cmath>\n")
file(WRITE ${WORK}/core/data/Rule.cpp "#include \"Rule.h\"\n#include <core/data/Rule.h>\n")
file(WRITE ${WORK}/ui/Box.h "#pragma once\n#include \"platform/Os.h\"\n#include <QWidget>\n")
file(WRITE ${WORK}/windows/Form.cpp
  "#include <ui/Box.h>\n#include \"core/data/Rule.h\"\nauto m = tr(\"Update the child's profile first\");\nauto n = QStringLiteral(\"  Select a month \");\n")

function(check expect_failure expect_text)
  execute_process(COMMAND ${CMAKE_COMMAND}
    "-DLAYERS=platform||Core|;core|platform|Core|S;ui|platform|Widgets|;windows|ui,core,platform||" -DSOURCE_DIR=${WORK}
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

file(WRITE ${WORK}/windows/Bad.cpp "auto q = QStringLiteral(\"UPDATE user SET name = ?\");\n")
check(TRUE "windows/Bad.cpp holds a statement")
file(REMOVE ${WORK}/windows/Bad.cpp)

file(WRITE ${WORK}/core/Bad.cpp "#include <QWidget>\n")
check(TRUE "core/Bad.cpp \\(core\\) includes <QWidget>, a QtWidgets header")
file(WRITE ${WORK}/platform/Bad.cpp "#include <QtGui/QColor>\n")
check(TRUE "platform/Bad.cpp \\(platform\\) includes <QtGui/QColor>, a QtGui header")
file(REMOVE ${WORK}/core/Bad.cpp ${WORK}/platform/Bad.cpp)

file(WRITE ${WORK}/core/Bad.cpp "#include \"ui/Box.h\"\n")
check(TRUE "core/Bad.cpp \\(core\\) includes ui/Box.h from ui, a layer core does not use")
file(WRITE ${WORK}/core/Bad.cpp "#include <windows/Form.cpp>\n")
check(TRUE "core/Bad.cpp \\(core\\) includes windows/Form.cpp from windows")
file(WRITE ${WORK}/core/data/Bad.h "#include \"../../ui/Box.h\"\n")
check(TRUE "includes ../../ui/Box.h from ui")
# Side by side on platform, ui and core know nothing of each other.
file(WRITE ${WORK}/ui/Bad.h "#include \"core/data/Rule.h\"\n")
check(TRUE "ui/Bad.h \\(ui\\) includes core/data/Rule.h from core, a layer ui does not use")
file(REMOVE ${WORK}/core/Bad.cpp ${WORK}/core/data/Bad.h ${WORK}/ui/Bad.h)

file(WRITE ${WORK}/stray.h "#pragma once\n")
file(WRITE ${WORK}/ui/Bad.h "#include <stray.h>\n")
check(TRUE "ui/Bad.h: includes stray.h, which belongs to no layer")
