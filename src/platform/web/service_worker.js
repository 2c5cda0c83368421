// The page's files kept for playing offline: fetched together when this worker is installed,
// then always answered from the cache. The cache is named after the build, so a new build
// installs a new worker, which fetches its own files and deletes its older caches. Its name also
// carries the worker's scope: two copies of the page on one host (a stable and a beta folder)
// share the host's caches, and each deletes only its own.
const cachePrefix = "kestrilon-" + self.registration.scope + " ";
const cacheName = cachePrefix + "@KESTRILON_PAGE_VERSION@";
const pageFiles = ["./", "index.html", "kestrilon.html", "kestrilon.js", "kestrilon.wasm",
                   "kestrilon.data", "kestrilon.webmanifest"];

self.addEventListener("install", function (event) {
  event.waitUntil(caches.open(cacheName)
    // Past the browser's HTTP cache: a file it kept from the build before would be kept here
    // beside the new build's others, a mix that is served from then on.
    .then(function (cache) {
      return cache.addAll(pageFiles.map(function (name) {
        return new Request(name, {cache: "reload"});
      }));
    })
    .then(function () { return self.skipWaiting(); }));
});

self.addEventListener("activate", function (event) {
  event.waitUntil(caches.keys()
    .then(function (names) {
      return Promise.all(names.filter(function (name) {
        return name.startsWith(cachePrefix) && name !== cacheName;
      }).map(function (name) { return caches.delete(name); }));
    })
    .then(function () { return self.clients.claim(); }));
});

// The table's answers are live: the network alone gives them, or nothing does.
const tableApi = new URL("api/", self.registration.scope).href;

// A portal may add a query to the page's address; the files are the same.
self.addEventListener("fetch", function (event) {
  if (event.request.method !== "GET" || event.request.url.startsWith(tableApi)) {
    return;
  }
  event.respondWith(caches.open(cacheName)
    .then(function (cache) { return cache.match(event.request, {ignoreSearch: true}); })
    .then(function (kept) { return kept || fetch(event.request); }));
});
