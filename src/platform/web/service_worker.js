// The page's files kept for playing offline: fetched together when this worker is installed,
// then always answered from the cache. The cache is named after the build, so a new build
// installs a new worker, which fetches its own files and deletes the older caches.
const cacheName = "kestrilon-@KESTRILON_PAGE_VERSION@";
const pageFiles = ["./", "index.html", "kestrilon.html", "kestrilon.js", "kestrilon.wasm",
                   "kestrilon.data", "kestrilon.webmanifest"];

self.addEventListener("install", function (event) {
  event.waitUntil(caches.open(cacheName)
    .then(function (cache) { return cache.addAll(pageFiles); })
    .then(function () { return self.skipWaiting(); }));
});

self.addEventListener("activate", function (event) {
  event.waitUntil(caches.keys()
    .then(function (names) {
      return Promise.all(names.filter(function (name) {
        return name.startsWith("kestrilon-") && name !== cacheName;
      }).map(function (name) { return caches.delete(name); }));
    })
    .then(function () { return self.clients.claim(); }));
});

// A portal may add a query to the page's address; the files are the same.
self.addEventListener("fetch", function (event) {
  if (event.request.method !== "GET") {
    return;
  }
  event.respondWith(caches.open(cacheName)
    .then(function (cache) { return cache.match(event.request, {ignoreSearch: true}); })
    .then(function (kept) { return kept || fetch(event.request); }));
});
