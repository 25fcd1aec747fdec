# Run by CPack once the package's files are staged, as Debian's own tools
# leave them: manual pages compressed with gzip -9n (no name or time stamp, so
# builds are reproducible) and the compiler's .comment notes gone from the
# binaries. Other installs keep them as written.
file(GLOB_RECURSE pages ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/man/*)
foreach(page IN LISTS pages)
  if(page MATCHES "\\.[0-9][a-z]*$")
    execute_process(COMMAND gzip -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
file(GLOB_RECURSE binaries ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*
  ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/lib/*.so.*)
foreach(binary IN LISTS binaries)
  if(NOT IS_SYMLINK ${binary})
    execute_process(COMMAND strip --remove-section=.comment ${binary} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
