# The game as a page: index.html (also as kestrilon.html) with what it loads (kestrilon.js,
# kestrilon.wasm and kestrilon.data, the glyph pictures for the page's file system), its manifest,
# icons, service worker and the table's page (table.html) in one folder, ready for any static host. Included by this directory's
# CMakeLists.txt in the web build.
set(KESTRILON_PAGE_DIR ${PROJECT_BINARY_DIR}/page)
set(KESTRILON_GLYPH_DIR ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/bmp)
set(KESTRILON_WEB_DIR ${PROJECT_SOURCE_DIR}/src/platform/web)

add_executable(kestrilon main.cpp)
target_link_libraries(kestrilon PRIVATE kestrilon_app kestrilon_web)
add_dependencies(kestrilon glyphs)
set_target_properties(kestrilon PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KESTRILON_PAGE_DIR})
# No threads and no shared memory, so that any static host serves the page as it is: the game
# gives the page's one thread back to the browser at each wait (Asyncify). No function of the
# standard library stands between the game and a wait, so none is instrumented: two fifths of the
# WebAssembly less. Sound never waits either: left out, the game's routines that name a sound
# stay as they were.
target_link_options(kestrilon PRIVATE -sASYNCIFY=1
                    -sASYNCIFY_REMOVE=std::*,platform::playSound*,platform::takeHostKey*
                    -sENVIRONMENT=web
                    -sALLOW_MEMORY_GROWTH=1
                    "SHELL:--preload-file ${KESTRILON_GLYPH_DIR}@/bmp")
set_property(TARGET kestrilon APPEND PROPERTY LINK_DEPENDS ${KESTRILON_GLYPH_DIR}/000.bmp)

# index.html for the hosts and game portals that open a folder's page by that name; kestrilon.html
# for the addresses given so far.
foreach(page index.html kestrilon.html)
  configure_file(${KESTRILON_WEB_DIR}/kestrilon.html ${KESTRILON_PAGE_DIR}/${page} COPYONLY)
endforeach()
configure_file(${KESTRILON_WEB_DIR}/kestrilon.webmanifest ${KESTRILON_PAGE_DIR}/kestrilon.webmanifest
               COPYONLY)
# The table of best games, for a folder that kestrilon-table serves beside its API.
configure_file(${KESTRILON_WEB_DIR}/table.html ${KESTRILON_PAGE_DIR}/table.html COPYONLY)

set(KESTRILON_PAGE_ICONS icon-192.png icon-512.png icon-maskable-192.png)
list(TRANSFORM KESTRILON_PAGE_ICONS PREPEND ${KESTRILON_PAGE_DIR}/ OUTPUT_VARIABLE page_icons)
add_custom_command(
  OUTPUT ${page_icons}
  COMMAND ${KESTRILON_ICONGEN} --page ${KESTRILON_PAGE_DIR}
  DEPENDS ${KESTRILON_HOST_TOOLS}
  COMMENT "Drawing the page's icons into ${KESTRILON_PAGE_DIR}"
  VERBATIM)
add_custom_target(page_icons ALL DEPENDS ${page_icons})

add_custom_target(page_service_worker ALL
  COMMAND ${CMAKE_COMMAND} -DPAGE_DIR=${KESTRILON_PAGE_DIR} -DVERSION=${PROJECT_VERSION}
          -DTEMPLATE=${KESTRILON_WEB_DIR}/service_worker.js
          -P ${KESTRILON_WEB_DIR}/service_worker_version.cmake
  DEPENDS kestrilon
  VERBATIM)

# The folder as a zip, for a static host or a game portal (scripts/package): the page's files at
# its top.
set(KESTRILON_WEB_ZIP ${PROJECT_BINARY_DIR}/kestrilon-${PROJECT_VERSION}-web.zip)
add_custom_target(web_zip
  COMMAND ${CMAKE_COMMAND} -E rm -f ${KESTRILON_WEB_ZIP}
  COMMAND ${CMAKE_COMMAND} -E tar cf ${KESTRILON_WEB_ZIP} --format=zip
          index.html kestrilon.html kestrilon.js kestrilon.wasm kestrilon.data
          kestrilon.webmanifest kestrilon-sw.js table.html ${KESTRILON_PAGE_ICONS}
  WORKING_DIRECTORY ${KESTRILON_PAGE_DIR}
  DEPENDS kestrilon page_icons page_service_worker
  COMMENT "Zipping the page into ${KESTRILON_WEB_ZIP}"
  VERBATIM)
