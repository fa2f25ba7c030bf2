# The Debian package: CPack's DEB generator packs what `cmake --install` puts
# into the prefix /usr, so the install rules stay the one list of installed
# files. dpkg-shlibdeps computes the dependencies from the binaries.
#
#   cpack --config build/CPackConfig.cmake -B build/package
# makes build/package/orlix_<version>_<arch>.deb.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orlix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installs with DESTDIR, so CMAKE_INSTALL_PREFIX is /usr while installing and
# files written at install time (the systemd unit) name the installed paths.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Orlix developers <dev@orlix.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "driver and configuration tool for the Orlix gaming keyboard")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Sets up the keys, the lighting and the macros of the Orlix keyboard (USB\n"
    "24ae:4009) and carries out the keys that start programs, open files or\n"
    "web addresses, play sounds or take screenshots. Provides the window program\n"
    "orlix, the command-line tool orlixctl and the virtual keyboard orlix-vkbd.")
# CPack joins list items with ";" otherwise.
string(REPLACE ";" "" CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_DEBIAN_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orlix.invalid/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The screenshot helper and the host functions call these at run time.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/deb/postinst
    ${CMAKE_SOURCE_DIR}/packaging/deb/postrm
    ${CMAKE_SOURCE_DIR}/packaging/deb/conffiles)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/deb_layout.cmake)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# Folders 0755 whatever the umask of the machine that builds the package.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# Only the runtime files: the test programs and the gallery stay in the build.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};orlix;ALL;/")

# Debian's documentation files: the copyright and a compressed changelog
# whose newest entry carries the project's version.
configure_file(${CMAKE_SOURCE_DIR}/packaging/deb/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
set(ORLIX_DEB_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${ORLIX_DEB_CHANGELOG}
  COMMAND gzip -9nkf ${CMAKE_BINARY_DIR}/packaging/changelog
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  COMMENT "Compressing the package changelog")
add_custom_target(orlix_deb_changelog ALL DEPENDS ${ORLIX_DEB_CHANGELOG})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/deb/copyright ${ORLIX_DEB_CHANGELOG}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
