# The second package, kestrilon-table: the server, the simulator it runs as its workers, its page
# folder, its service, manual page and documents. Included by this directory's CMakeLists.txt.
configure_file(kestrilon-table.8.in kestrilon-table.8 @ONLY)
configure_file(kestrilon-table.service.in kestrilon-table.service @ONLY)
add_custom_command(
  OUTPUT kestrilon-table.8.gz
  COMMAND gzip -9 -n -c ${CMAKE_CURRENT_BINARY_DIR}/kestrilon-table.8 > kestrilon-table.8.gz
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/kestrilon-table.8
  COMMENT "Compressing kestrilon-table.8")
add_custom_target(table_packaging_files ALL DEPENDS kestrilon-table.8.gz)

install(TARGETS kestrilon-table RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT table)
install(TARGETS kestrilon-sim RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kestrilon-table
        COMPONENT table)
# The game's page beside the table's, when the web build made it (scripts/package), so that
# "Watch" plays from the same origin; else table.html alone.
set(KESTRILON_PAGE_FOLDER "" CACHE PATH "The web build's page folder, to ship with the table")
if(KESTRILON_PAGE_FOLDER)
  install(DIRECTORY ${KESTRILON_PAGE_FOLDER}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrilon-table/page
          COMPONENT table)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/src/platform/web/table.html
          DESTINATION ${CMAKE_INSTALL_DATADIR}/kestrilon-table/page COMPONENT table)
endif()
# Debian 12 keeps the units of packages in /lib.
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kestrilon-table.service DESTINATION /lib/systemd/system
        COMPONENT table)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kestrilon-table.8.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man8 COMPONENT table)
install(FILES copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestrilon-table COMPONENT table)
