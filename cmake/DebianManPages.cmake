# Run by CPack once the package's files are staged: Debian keeps manual pages
# compressed with gzip -9n (no name or time stamp, so builds are reproducible);
# other installs keep them as written.
file(GLOB_RECURSE pages ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/man/*)
foreach(page IN LISTS pages)
  if(page MATCHES "\\.[0-9][a-z]*$")
    execute_process(COMMAND gzip -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
