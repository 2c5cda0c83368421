# The game as a page: kestrilon.html with what it loads (kestrilon.js, kestrilon.wasm and
# kestrilon.data, the glyph pictures for the page's file system) in one folder, ready for any
# static host. Included by this directory's CMakeLists.txt in the web build.
set(KESTRILON_PAGE_DIR ${PROJECT_BINARY_DIR}/page)
set(KESTRILON_GLYPH_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/bmp)

add_executable(kestrilon main.cpp)
target_link_libraries(kestrilon PRIVATE kestrilon_app kestrilon_web)
add_dependencies(kestrilon glyphs)
set_target_properties(kestrilon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KESTRILON_PAGE_DIR})
# No threads and no shared memory, so that any static host serves the page as it is: the game
# gives the page's one thread back to the browser at each wait (Asyncify).
target_link_options(kestrilon PRIVATE -sASYNCIFY=1 -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1
                    "SHELL:--preload-file ${KESTRILON_GLYPH_DIR}@/bmp")
set_property(TARGET kestrilon APPEND PROPERTY LINK_DEPENDS ${KESTRILON_GLYPH_DIR}/000.bmp)

configure_file(${PROJECT_SOURCE_DIR}/src/platform/web/kestrilon.html ${KESTRILON_PAGE_DIR}/kestrilon.html
               COPYONLY)

# The folder as a zip, for a static host (scripts/package): the page's files at its top.
set(KESTRILON_WEB_ZIP ${PROJECT_BINARY_DIR}/kestrilon-${PROJECT_VERSION}-web.zip)
add_custom_target(web_zip
  COMMAND ${CMAKE_COMMAND} -E rm -f ${KESTRILON_WEB_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${KESTRILON_WEB_ZIP} --format=zip
          kestrilon.html kestrilon.js kestrilon.wasm kestrilon.data
  WORKING_DIRECTORY ${KESTRILON_PAGE_DIR}
  DEPENDS kestrilon
  COMMENT "Zipping the page into ${KESTRILON_WEB_ZIP}"
  VERBATIM)
