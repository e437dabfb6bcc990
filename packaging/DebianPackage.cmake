# SPDX-License-Identifier: Apache-2.0
# cpack -G DEB in the build folder makes tavrin_<version>_<arch>.deb installed under /usr, with
# its library dependencies read from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrin)
set(CPACK_PACKAGE_VENDOR "The Tavrin developers")
set(CPACK_PACKAGE_CONTACT "The Tavrin developers <maintainers@tavrin.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "write FPGA configuration files onto an SD card")
set(CPACK_PACKAGE_DESCRIPTION
  "Tavrin writes up to eight FPGA configuration files (.bit, .bin, .rbf) into one of four
banks of an SD or microSD card in its own raw sector layout, verifies them, shows what a bank
holds and erases the card. It comes as a desktop window (tavrin) and a command-line program
(tavrin-cli) for build scripts.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://tavrin.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TAVRIN_WITH_UDISKS)
  # Loaded at run time for the disk service, so the dependency scan does not see it.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libsystemd0")
endif()
set(CPACK_STRIP_FILES ON)
if(TAVRIN_INSTALL_UDEV_RULE)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/debian/postinst ${CMAKE_SOURCE_DIR}/packaging/debian/postrm)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
endif()
include(CPack)
