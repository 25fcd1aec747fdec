# Run by CPack once the package's files are staged, as Debian's own tools
# leave them: the compiler's .comment notes gone from the binaries. Other
# installs keep them as written.
file(GLOB_RECURSE binaries ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*
  ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/lib/*.so.*)
foreach(binary IN LISTS binaries)
  if(NOT IS_SYMLINK ${binary})
    execute_process(COMMAND strip --remove-section=.comment ${binary} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
