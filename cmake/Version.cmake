# The program's version is the project's (project() in CMakeLists.txt). The
# Debian changelog's newest entry names the same version, or the build stops
# here; its date is the release date the metainfo and the manual page show.
#   CG_VERSION               e.g. 1.0
#   CG_VERSION_MAJOR_MINOR   what the About dialog shows
#   CG_RELEASE_DATE          YYYY-MM-DD of the newest changelog entry
set(CG_VERSION ${PROJECT_VERSION})
set(CG_VERSION_MAJOR_MINOR ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})

set(cg_changelog ${PROJECT_SOURCE_DIR}/debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${cg_changelog})
file(STRINGS ${cg_changelog} cg_heading ENCODING UTF-8 LIMIT_COUNT 1 REGEX "^[a-z0-9.+-]+ \\(")
string(REGEX REPLACE "^[^ ]+ \\(([^)]+)\\).*" "\\1" cg_debian_version "${cg_heading}")
# A Debian revision (1.0-2) packages the same program.
string(REGEX REPLACE "-[^-]+$" "" cg_upstream_version "${cg_debian_version}")
if(NOT cg_upstream_version STREQUAL CG_VERSION)
  message(FATAL_ERROR "debian/changelog's newest entry is version '${cg_debian_version}', the project's is "
                      "'${CG_VERSION}': add a changelog entry for ${CG_VERSION} (dch -v ${CG_VERSION}).")
endif()

file(STRINGS ${cg_changelog} cg_trailer ENCODING UTF-8 LIMIT_COUNT 1 REGEX "^ -- ")
if(NOT cg_trailer MATCHES ", ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "debian/changelog: no date in the newest entry's trailer line")
endif()
set(cg_day ${CMAKE_MATCH_1})
set(cg_year ${CMAKE_MATCH_3})
set(cg_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND cg_months ${CMAKE_MATCH_2} cg_month)
math(EXPR cg_month "${cg_month} + 1")
if(cg_month LESS 10)
  set(cg_month 0${cg_month})
endif()
if(cg_day LESS 10)
  math(EXPR cg_day "${cg_day}")
  set(cg_day 0${cg_day})
endif()
set(CG_RELEASE_DATE ${cg_year}-${cg_month}-${cg_day})
