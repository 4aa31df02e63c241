# SPDX-License-Identifier: GPL-3.0-or-later
# Debian package of the installed programs: cd build/dev && cpack -G DEB
set(QUILLON_MAINTAINER "Quillon developers <quillon@example.org>"
    CACHE STRING "Maintainer field of the Debian package: the packager's name and address")

set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# Debian shows these lines as they are, one column in: 79 columns at most.
set(CPACK_PACKAGE_DESCRIPTION
    "Decodes the Morse (CW) telemetry beacon of the amateur satellite Tanager:\n\
the operator types the copied letters and reads a report of voltages,\n\
temperatures, states and power switches. A Qt dialog with a clock panel\n\
(UTC, local time, Julian Date), and quillon-decode, which prints the same\n\
reports from the command line for beacon logs and scripts.")
set(CPACK_PACKAGE_VENDOR "Quillon developers")
set(CPACK_PACKAGE_CONTACT "${QUILLON_MAINTAINER}")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
# The Qt libraries, and with them the platform plugins, come from the linked libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The layout is drawn for a Japanese UI gothic; any font works, this one looks as meant.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic")

# What Debian asks of every package's documentation directory: the licence of each part in
# machine-readable form, and the changelog (a native package's, compressed).
configure_file(packaging/copyright.in copyright @ONLY)
add_custom_command(
  OUTPUT changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/packaging/changelog changelog
  COMMAND ${GZIP} -9nf changelog
  DEPENDS packaging/changelog
  VERBATIM)
add_custom_target(quillon_changelog ALL DEPENDS changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

include(CPack)
