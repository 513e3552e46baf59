// SPDX-License-Identifier: GPL-3.0-or-later
// The page offline: every file of the page's folder is kept in a cache named after their
// contents and served from it first, so a visited page opens and checks without a network. The
// build (finish_dist.py) fills in the cache's name and the list of files; a new build gives a
// new name, and the old cache is dropped once the new one is complete.

const CACHE = "@CACHE_VERSION@";
const FILES = ["@PRECACHE_FILES@"];

self.addEventListener("install", (event) => {
  // "no-cache": the files as the host has them now, never an older copy from the HTTP cache,
  // yet a file the page has just loaded is only revalidated, not sent a second time.
  event.waitUntil(caches.open(CACHE)
    .then((cache) => cache.addAll(FILES.map((file) => new Request(file, { cache: "no-cache" }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name !== CACHE).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) {
    return;
  }
  // A shared link is the page with the design in its query: the same cached page.
  const key = request.mode === "navigate" ? new Request(new URL("./", self.location).href) : request;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(key, { ignoreSearch: request.mode === "navigate" }))
    .then((cached) => cached || fetch(request)));
});
