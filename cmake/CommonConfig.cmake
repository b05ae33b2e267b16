# Compiler settings every target of the project links, tests included.
add_library(cg_options INTERFACE)
target_compile_options(cg_options INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(cg_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_DISABLE_DEPRECATED_BEFORE=0x060000)
option(CG_WERROR "Treat warnings as errors" OFF)
if(CG_WERROR)
  target_compile_options(cg_options INTERFACE -Werror)
endif()
