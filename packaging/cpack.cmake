# The Debian package of the desktop program and quintar-cli ("make package"). Build it from a distribution
# build (-DQUINTAR_DISTRIBUTION=ON) installed into /usr: such a program never installs updates itself.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "quintar-7x35")
set(CPACK_PACKAGE_VENDOR "Quintar 7x35 developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Quintar 7x35 developers <support@quintar.example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quintar.example.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "statistics analyser of the 7 of 35 lottery")
set(CPACK_PACKAGE_DESCRIPTION
  "Quintar 7x35 keeps the archive of past draws of the lottery game in which seven numbers
of 1 to 35 and a bonus number of 1 to 20 are drawn, computes more than a hundred statistics
over a window of draws, narrows all 6,724,520 combinations with filters, keeps and checks
stakes, rates them and tests scripts over past draws. The interface is Russian.
.
The package holds the desktop program Quintar_7x35, its command-line twin quintar-cli,
the user manual and the statistic descriptions.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
# Only what a player needs: the catalogue service's own component stays out.
set(CPACK_COMPONENTS_ALL Unspecified)
set(CPACK_DEB_COMPONENT_INSTALL OFF)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # quintar-7x35_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_NAME "quintar-7x35")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CPACK_PACKAGE_HOMEPAGE_URL}")
# Libraries from dpkg-shlibdeps; besides them, what the programs load or start at run time: Qt's platform
# plugins, the certificates that HTTPS checks against, and xdg-open for the manual and the links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, ca-certificates")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")

set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}")
include(CPack)
