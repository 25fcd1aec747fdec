# CHANGELOG.md is the one place a release is recorded: its newest heading
# (`## VERSION - YYYY-MM-DD`) gives the version the program, the AppStream
# metadata and the package show. Read before project(), which takes the version.
# Sets CORVANTA_RELEASE_VERSION (the newest release) and CORVANTA_RELEASES
# ("VERSION DATE" items, newest first).
set(CORVANTA_CHANGELOG ${CMAKE_CURRENT_LIST_DIR}/../CHANGELOG.md)
file(STRINGS ${CORVANTA_CHANGELOG} corvanta_headings REGEX "^## ")
set(CORVANTA_RELEASES)
foreach(heading IN LISTS corvanta_headings)
  if(NOT heading MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
    message(FATAL_ERROR "CHANGELOG.md: '${heading}' is not a release heading "
      "(## VERSION - YYYY-MM-DD)")
  endif()
  list(APPEND CORVANTA_RELEASES "${CMAKE_MATCH_1} ${CMAKE_MATCH_2}")
endforeach()
if(NOT CORVANTA_RELEASES)
  message(FATAL_ERROR "CHANGELOG.md lists no release")
endif()
list(GET CORVANTA_RELEASES 0 corvanta_newest)
string(REGEX REPLACE " .*" "" CORVANTA_RELEASE_VERSION "${corvanta_newest}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CORVANTA_CHANGELOG})
