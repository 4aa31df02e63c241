# Debian package of the installed programs: cd build/dev && cpack -G DEB
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "Decodes the Morse (CW) telemetry beacon of the amateur satellite Tanager: the operator\n\
types the copied letters and reads a report of voltages, temperatures, states and power\n\
switches. A Qt dialog with a clock panel (UTC, local time, Julian Date).")
set(CPACK_PACKAGE_VENDOR "Quillon developers")
set(CPACK_PACKAGE_CONTACT "Quillon developers <quillon@localhost>")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
# The Qt libraries, and with them the platform plugins, come from the linked libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The layout is drawn for a Japanese UI gothic; any font works, this one looks as meant.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic")

include(CPack)
