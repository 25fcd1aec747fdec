# Run by CPack while it stages the package, never by a plain install: the files
# Debian asks of every package (copyright, changelog, lintian overrides), which
# an install under ~/.local has no use for. file(INSTALL) puts them under the
# staging folder (DESTDIR); the changelog is made in the build folder first.
set(source ${CPACK_CORVANTA_SOURCE_DIR})
set(changelog ${CPACK_CORVANTA_BINARY_DIR}/changelog.gz)
execute_process(
  COMMAND awk -v package=${CPACK_PACKAGE_NAME} -v "maintainer=${CPACK_PACKAGE_CONTACT}"
    -f ${source}/data/debian/changelog.awk ${source}/CHANGELOG.md
  COMMAND gzip -9n
  OUTPUT_FILE ${changelog}
  COMMAND_ERROR_IS_FATAL ANY)
file(INSTALL ${source}/data/debian/copyright ${changelog}
  DESTINATION ${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME})
file(STRINGS ${source}/data/debian/lintian-overrides overrides REGEX "^[^#]")
if(overrides)
  file(INSTALL ${source}/data/debian/lintian-overrides
    DESTINATION ${CPACK_PACKAGING_INSTALL_PREFIX}/share/lintian/overrides RENAME ${CPACK_PACKAGE_NAME})
endif()
