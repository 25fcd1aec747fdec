# `cpack -G DEB` in a build folder makes corvanta_<version>_<arch>.deb: the
# executable, its private library, the desktop entry, the D-Bus service, the
# AppStream metadata and the icons under /usr, with the copyright, the changelog
# (from CHANGELOG.md) and the lintian overrides added while staging; once
# staged, manual pages are compressed and compiler notes stripped. Library dependencies are read from the
# binaries by dpkg-shlibdeps; the Qt plugins Corvanta loads at run time are
# named by hand because no binary links them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvanta)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Corvanta")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tray utility that decides which application opens a file")
# Wrapped at 80 columns, as terminals show it (dpkg adds one space in front).
set(CPACK_PACKAGE_DESCRIPTION
  "Corvanta routes opened files to editors by rules: per file type it keeps the
editors that can open it, an ordered list of rules and a Default Rule, and
opens the file in one or more editors or shows a picker to choose one.")
set(CPACK_PACKAGE_CONTACT "Corvanta developers <corvanta@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, desktop-file-utils, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "adwaita-icon-theme, hicolor-icon-theme, at-spi2-core, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/data/debian/postinst
  ${PROJECT_SOURCE_DIR}/data/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Only what a user runs: no test or benchmark targets install anything, and the
# library's development link stays out.
set(CPACK_COMPONENTS_ALL_IN_ONE_PACKAGE ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_CORVANTA_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_CORVANTA_BINARY_DIR ${PROJECT_BINARY_DIR})
set(CPACK_INSTALL_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianPackageFiles.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianStagedFiles.cmake)
include(CPack)
