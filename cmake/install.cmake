# What `cmake --install` puts where, and the Debian package CPack makes of it:
# mksetup in bin/, the Windows programs it packs beside it in share/mksetup/
# (mksetup finds them there relative to itself), the man page and the docs.
# The Windows programs come from the windows build (SETUP_WINDOWS_BUILD_DIR);
# installing without them fails.

install(TARGETS mksetup RUNTIME DESTINATION bin)
install(FILES "${SETUP_WINDOWS_BUILD_DIR}/Setup.exe" "${SETUP_WINDOWS_BUILD_DIR}/UnInst.exe"
        DESTINATION share/mksetup)

# Debian keeps man pages compressed, without a time stamp in the gzip header.
set(SETUP_MAN_PAGE "${CMAKE_BINARY_DIR}/mksetup.1.gz")
add_custom_command(OUTPUT "${SETUP_MAN_PAGE}"
  COMMAND gzip -9n -c "${CMAKE_SOURCE_DIR}/docs/mksetup.1" > "${SETUP_MAN_PAGE}"
  DEPENDS "${CMAKE_SOURCE_DIR}/docs/mksetup.1"
  VERBATIM)
add_custom_target(man_page ALL DEPENDS "${SETUP_MAN_PAGE}")
install(FILES "${SETUP_MAN_PAGE}" DESTINATION share/man/man1)
install(FILES README.md docs/publisher-guide.md docs/package-format.md docs/registry-and-shortcuts.md
              docs/security.md docs/deploying.md
        DESTINATION share/doc/mksetup)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mksetup)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Quillworks <setup@quillworks.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "builds small self-extracting setups for 64-bit Windows")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "builds small self-extracting setups for 64-bit Windows\nmksetup packs a product folder into one Setup.exe for 64-bit Windows, with an\noptional uninstaller that removes only unchanged installed files. It also\nlists, tests, extracts, installs and uninstalls setups. Builds are\nbyte-identical.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The C and C++ libraries mksetup links against, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_SOURCE_DIR}/build/package")
include(CPack)
