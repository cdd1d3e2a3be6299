# The Debian package, made by CPack from an installation into /usr: `cpack -G DEB` in the
# build folder (scripts/package.sh does it and checks the result).
set(CPACK_PACKAGE_NAME zarnik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zarnik developers")
set(CPACK_PACKAGE_CONTACT "Zarnik developers <zarnik@example.org>"
  CACHE STRING "Maintainer of the Debian package: name <address>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "data flash ROM writer for QX4410DXR-M colour page printers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The long description, shown under the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zarnik is the service tool that writes the data flash ROM of colour page
printers with the QX4410DXR-M controller, cabled to the PC by USB or the
parallel port. It sends firmware or demo print data files to the printer
inside a job and follows the printer's erase, write and verify progress to
the end, reads the controller and engine firmware versions, and makes,
checks and rewrites the data files.
.
The package holds the window program zarnik, the command line zarnik-cli,
their port library and USB bridge (private to Zarnik), udev rules that let
members of the group lp use the printer's USB device, and a simulated
printer for trying every tool without hardware.")
# Library dependencies come from the binaries; the private libraries are found in the
# package's own library folder. The window's Japanese texts need a font with their glyphs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/${ZARNIK_LIBDIR})
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-vlgothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
