# cmake -DPAGE_DIR=<page folder> -DVERSION=<project version> -DTEMPLATE=<service_worker.js>
#       -P service_worker_version.cmake
# Writes the page's service worker with its cache named after the version and the page's files,
# so that a rebuild with the same version number still reaches a player who has the page cached.
# Run at every build; the worker's file changes only when the files do.
set(digests "")
foreach(name index.html kestrilon.js kestrilon.wasm kestrilon.data kestrilon.webmanifest)
  file(SHA256 ${PAGE_DIR}/${name} digest)
  string(APPEND digests ${digest})
endforeach()
string(SHA256 digest "${digests}")
string(SUBSTRING ${digest} 0 12 digest)
set(KESTRILON_PAGE_VERSION ${VERSION}-${digest})
configure_file(${TEMPLATE} ${PAGE_DIR}/kestrilon-sw.js @ONLY)
