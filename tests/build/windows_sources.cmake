# cmake -DCOMPILER=<MinGW-w64 g++> -DSOURCES=<a|b|…> -DSOURCE_DIR=<project> -DQT_HEADERS=<dir> -P windows_sources.cmake
#
# The Windows sources cannot be built here; a cross-compiler's syntax check
# against Qt Core's headers still finds what no Windows compiler would accept.
if(NOT COMPILER)
  message("SKIP: no MinGW-w64 cross-compiler (Debian's g++-mingw-w64-x86-64-posix), the Windows sources are unchecked")
  return()
endif()
string(REPLACE "|" ";" SOURCES "${SOURCES}")
set(failed)
foreach(source ${SOURCES})
  execute_process(
    COMMAND ${COMPILER} -fsyntax-only -std=c++20 -Wall -Wextra -DUNICODE -D_UNICODE
      -I${SOURCE_DIR} -I${QT_HEADERS} -I${QT_HEADERS}/QtCore ${source}
    RESULT_VARIABLE status
    ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    list(APPEND failed ${source})
    message("${errors}")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "Windows sources a Windows compiler would refuse: ${failed}")
endif()
list(LENGTH SOURCES count)
message("${count} Windows sources pass the cross-compiler's syntax check")
