# The Windows program: a GUI-subsystem executable (no console window) with its icons, version and
# manifest compiled in. Included by the program's CMakeLists.txt (src/app).
enable_language(RC)

# Also read by the Windows tests, which compare the window's icon with the file.
set(KESTRILON_WINDOWS_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons CACHE INTERNAL "")
add_custom_command(
  OUTPUT ${KESTRILON_WINDOWS_ICON_DIR}/101.ico ${KESTRILON_WINDOWS_ICON_DIR}/102.ico
  COMMAND ${KESTRILON_ICONWRITER} ${KESTRILON_WINDOWS_ICON_DIR}
  DEPENDS ${KESTRILON_ICONWRITER} ${KESTRILON_HOST_TOOLS}
  COMMENT "Writing the program's icons into ${KESTRILON_WINDOWS_ICON_DIR}"
  VERBATIM
)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kestrilon.rc.in ${CMAKE_CURRENT_BINARY_DIR}/kestrilon.rc @ONLY)
target_sources(kestrilon PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/kestrilon.rc)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/kestrilon.rc PROPERTIES
  OBJECT_DEPENDS "${KESTRILON_WINDOWS_ICON_DIR}/101.ico;${KESTRILON_WINDOWS_ICON_DIR}/102.ico;${CMAKE_CURRENT_LIST_DIR}/kestrilon.manifest")
set_target_properties(kestrilon PROPERTIES WIN32_EXECUTABLE ON)
