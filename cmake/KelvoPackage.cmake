# The Debian package: `cmake --build --preset release --target package` writes
# kelvo_VERSION_ARCH.deb with everything that KelvoInstall.cmake installs, under /usr.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kelvo developers")
set(CPACK_PACKAGE_CONTACT "Kelvo developers <kelvo-dev@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set up modems through a serial port with a library of scripts")
# CPack puts the summary on the first line of the description itself.
set(CPACK_PACKAGE_DESCRIPTION
    "Kelvo keeps a library of modem types, each with named set-up scripts, in one
XML file. The user picks a serial port, selects a script and runs it: Kelvo
finds the modem by sending AT at ten line speeds, then runs the script in its
own JScript engine, showing every line sent and received in a coloured log.
.
The package holds the desktop program kelvo, the command-line runner
kelvo-run for setting up many modems at once, the script runner kelvo-script
and the modem simulator modemsim for trying scripts without a modem.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# The package installs under /usr whatever prefix the build was configured with; the programs find
# their shipped data beside their bin folder, so a build for /usr/local still works from /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
