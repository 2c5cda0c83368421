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
# Two packages where the table is built: the game (what installs without a component) and
# kestrilon-table.
if(KESTRILON_TABLE AND NOT WIN32)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL Unspecified table)
  set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME kestrilon)
  set(CPACK_COMPONENT_UNSPECIFIED_DESCRIPTION
      "${CPACK_PACKAGE_DESCRIPTION_SUMMARY}\n${CPACK_PACKAGE_DESCRIPTION}")
  # CPackDeb puts the project's summary before every component's description unless it is
  # CPack's default: each description above and below begins with its own.
  unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
  set(CPACK_DEBIAN_TABLE_PACKAGE_NAME kestrilon-table)
  set(CPACK_DEBIAN_TABLE_PACKAGE_SECTION net)
  set(CPACK_COMPONENT_TABLE_DESCRIPTION
      "table of best Kestrilon games, each verified by playing it again\n"
      "A web server that keeps a table of the best games of Kestrilon. Players\n"
      "submit a game as its replay code, and the server plays it again with the\n"
      "game's simulator, in worker processes, and ranks it by the score the\n"
      "simulation gives, so no score can be typed in. It keeps the table in\n"
      "SQLite, or in PostgreSQL for several servers, and serves the table's web\n"
      "page.")
  string(JOIN "" CPACK_COMPONENT_TABLE_DESCRIPTION ${CPACK_COMPONENT_TABLE_DESCRIPTION})
endif()

# The Windows zip, kestrilon-<version>-win64.zip: one folder with the program, its pictures in
# bmp\ and the README.
if(WIN32)
  set(CPACK_PACKAGE_FILE_NAME kestrilon-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()

include(CPack)
