# Install step for the database the program starts from, the launcher and
# the menu entry; run by `cmake --install` (install(SCRIPT) in
# packaging/CMakeLists.txt, which sets the cg_* values this script reads:
# cg_program_dir, cg_app_id, cg_makedb, cg_template, cg_content,
# cg_desktop_in).
#
# Every install is marked as installed (0-3.mdb.installed): its database is
# only what each user's own copy starts from, and the program keeps a user's
# records in that copy, in the user's data folder, whichever way it was
# installed. The installed file is never written, and it is always the
# empty one.
#
# An install for every user (a package, a staged install, or one by the
# administrator outside the administrator's home) sets an earlier installed
# file that is not the empty one aside, never deleting it.
#
# An install by an ordinary user over an earlier one that kept the family's
# records beside the program hands them over to the user's own copy once
# (makedb --hand-over: copied, checked, its backups/ moved along, the old
# file kept as 0-3.mdb.moved). When the user already has an own copy too,
# that copy is not changed: the install stays as it was (unmarked, its own
# file brought up to date by makedb with every record kept), and makedb
# prints both paths and says so.
#
# Files this script writes itself are added to CMake's install manifest
# (install_manifest.txt in the build folder), beside those file(INSTALL)
# adds, so that the manifest names everything the install put in place;
# scripts/uninstall-user.sh removes what it names. A database holding
# records is never named.

set(cg_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(cg_dir "${cg_root}/${cg_program_dir}")
set(cg_db "${cg_dir}/0-3.mdb")
set(cg_mark "${cg_db}.installed")

# For every user or for one: a staged install (DESTDIR) always serves every
# user; so does one by root, unless root installs into its own home.
execute_process(COMMAND id -u OUTPUT_VARIABLE cg_uid OUTPUT_STRIP_TRAILING_WHITESPACE)
set(cg_in_home -1)
if(NOT "$ENV{HOME}" STREQUAL "")
  string(FIND "${CMAKE_INSTALL_PREFIX}/" "$ENV{HOME}/" cg_in_home)
endif()
if(NOT "$ENV{DESTDIR}" STREQUAL "" OR (cg_uid STREQUAL "0" AND NOT cg_in_home EQUAL 0))
  set(cg_shared TRUE)
else()
  set(cg_shared FALSE)
endif()

# Earlier installs kept program and database in bin/: the records move along.
set(cg_earlier "${cg_root}/bin/0-3.mdb")
if(EXISTS "${cg_earlier}" AND NOT EXISTS "${cg_db}")
  message(STATUS "Moving the database of the earlier install: ${cg_earlier} -> ${cg_db}")
  file(MAKE_DIRECTORY "${cg_dir}")
  file(RENAME "${cg_earlier}" "${cg_db}")
endif()
# Earlier installs for every user were marked by 0-3.mdb.shared.
if(EXISTS "${cg_db}.shared")
  file(RENAME "${cg_db}.shared" "${cg_mark}")
endif()

# What is there already: set aside (for every user), handed over (for one
# user), or kept beside the program when the user has an own copy too.
set(cg_keep_beside FALSE)
if(cg_shared AND EXISTS "${cg_db}")
  file(SHA256 "${cg_db}" cg_old)
  file(SHA256 "${cg_template}" cg_new)
  if(NOT cg_old STREQUAL cg_new)
    set(cg_n 1)
    while(EXISTS "${cg_db}.kept-${cg_n}")
      math(EXPR cg_n "${cg_n} + 1")
    endwhile()
    file(RENAME "${cg_db}" "${cg_db}.kept-${cg_n}")
    message(STATUS "The earlier installed database, with any records in it, is kept as ${cg_db}.kept-${cg_n}")
  endif()
elseif(EXISTS "${cg_db}" AND NOT EXISTS "${cg_mark}")
  # Exit 3: the user has an own copy as well; both stay as they are.
  execute_process(COMMAND "${cg_makedb}" --hand-over "${cg_db}" RESULT_VARIABLE cg_result)
  if(cg_result EQUAL 3)
    set(cg_keep_beside TRUE)
  elseif(NOT cg_result EQUAL 0)
    message(FATAL_ERROR "The installed database was left as it was: ${cg_db}")
  endif()
endif()

if(cg_keep_beside)
  message(STATUS "Updating the questionnaire, keeping the records: ${cg_db}")
  execute_process(COMMAND "${cg_makedb}" "${cg_db}" "${cg_content}" RESULT_VARIABLE cg_result)
  if(NOT cg_result EQUAL 0)
    message(FATAL_ERROR "The installed database was left as it was: ${cg_db}")
  endif()
  file(REMOVE "${cg_mark}")
  # makedb wrote the version beside the records; the records are the user's.
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${cg_db}.version")
else()
  # file(INSTALL) adds DESTDIR itself and names the files in the manifest.
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${cg_program_dir}" TYPE FILE
       FILES "${cg_template}" "${cg_template}.version")
  file(WRITE "${cg_mark}"
       "Installed: every user works on an own copy of 0-3.mdb in the user's data folder.\n")
  message(STATUS "Installing: ${cg_mark}")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${cg_mark}")
endif()

# The launcher: bin/childgrowth links to the program beside its database.
set(cg_launcher "${cg_root}/bin/childgrowth")
file(MAKE_DIRECTORY "${cg_root}/bin")
file(CREATE_LINK "../${cg_program_dir}/childgrowth" "${cg_launcher}" SYMBOLIC)
message(STATUS "Installing: ${cg_launcher}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${cg_launcher}")

# The menu entry starts the launcher by its installed path (@bindir@).
set(bindir "${CMAKE_INSTALL_PREFIX}/bin")
set(cg_entry "${cg_root}/share/applications/${cg_app_id}.desktop")
configure_file("${cg_desktop_in}" "${cg_entry}" @ONLY)
message(STATUS "Installing: ${cg_entry}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${cg_entry}")
