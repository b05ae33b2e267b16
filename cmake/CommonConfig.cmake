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

# The sanitizer build: every object and executable, tests and the programs they
# start included, with AddressSanitizer (leaks too) and UndefinedBehaviorSanitizer;
# any report ends the process with a failure.
option(CG_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(CG_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined)
endif()

# The libFuzzer targets of tests/fuzz (clang only). The project's code carries
# the coverage counters that guide them.
option(CG_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(CG_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "CG_FUZZ needs clang (CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Hardening, in every build: the package's (on top of Debian's own flags),
# one by hand and the sanitizer build alike. Stack protector and stack clash
# protection, control-flow protection on x86, position-independent
# executables, relocations read-only and bound at start; fortified C library
# calls where the compiler optimises and no sanitizer stands in for them.
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
target_compile_options(cg_options INTERFACE -fstack-protector-strong -fstack-clash-protection)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64|i[3-6]86)$")
  target_compile_options(cg_options INTERFACE -fcf-protection)
  # Debian 12's C start files (crt1.o, crti.o) carry no control-flow
  # marking, and one unmarked input drops it from the whole program; every
  # object of the project's own is compiled for it, so the program is marked.
  if(NOT WIN32)
    target_link_options(cg_options INTERFACE -Wl,-z,ibt -Wl,-z,shstk)
  endif()
endif()
if(NOT CG_SANITIZE AND NOT CG_FUZZ)
  target_compile_definitions(cg_options INTERFACE $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
if(NOT WIN32)
  target_link_options(cg_options INTERFACE -Wl,-z,relro -Wl,-z,now)
endif()

# A library the tests preload (LD_PRELOAD) into programs that carry no
# sanitizer runtime as well (setpriv, runuser): built without instrumentation.
function(cg_preload_library target)
  if(CG_SANITIZE OR CG_FUZZ)
    target_compile_options(${target} PRIVATE -fno-sanitize=all)
    target_link_options(${target} PRIVATE -fno-sanitize=all)
  endif()
  if(CG_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize-coverage=0)
  endif()
endfunction()
