# The packages made from an install of the game (`cpack --preset <name>`, see scripts/package).
# Each generator has its block below; what they share comes first.
set(CPACK_PACKAGE_NAME kestrilon)
set(CPACK_PACKAGE_VENDOR "The Kestrilon developers")
set(CPACK_PACKAGE_CONTACT "Kestrilon Dev <dev@kestrilon.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "number-shooting arcade game on a one-line LCD")
set(CPACK_PACKAGE_DESCRIPTION
    "Digit invaders march in from the right across a simulated one-line LCD of\n"
    "twelve character cells. Step your aim digit to the digit of the invader you\n"
    "want and fire: the nearest one showing it is destroyed, and the farther away\n"
    "it was, the more it scores. Each stage marches faster.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})

# The Debian package: Debian's games layout needs the prefix /usr (the package preset sets it).
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# The Windows zip, kestrilon-<version>-win64.zip: one folder with the program, its pictures in
# bmp\ and the README.
if(WIN32)
  set(CPACK_PACKAGE_FILE_NAME kestrilon-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()

include(CPack)
