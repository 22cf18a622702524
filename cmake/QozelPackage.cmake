# The package that CPack builds from the install rules: a Debian package
# (`cpack -G DEB`), or on Windows the setup program (`cpack`, NSIS).
set(CPACK_PACKAGE_NAME qozel-config)
set(CPACK_PACKAGE_VENDOR "QoZEL")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Set up a card-based access-control installation over USB")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/QozelSetupProgram.cmake)
  include(CPack)
  return()
endif()

# dpkg-shlibdeps derives the run-time dependencies from the installed
# executables (Qt 6 Widgets, libusb-1.0, hidapi, and libcrypto for the demo).
set(CPACK_GENERATOR DEB)
# The lines of the long description, each short enough for the control file.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "The installer's tool for a QoZEL access-control installation: the key store,"
  "the DESFire card programmer, the keyboard-wedge reader and the bus master"
  "with its OSDP readers, all attached over USB. It generates and distributes"
  "keys, programs and reads cards, configures readers, manages passwords and"
  "backups, and upgrades firmware. Includes udev rules giving the user at the"
  "seat access to the devices.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(QOZEL_PACKAGE_MAINTAINER "QoZEL Config developers <qozel-config@qozel.invalid>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QOZEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugin at run time, so no linked library names it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/dist/linux/debian/postinst")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
