// The offline copy of ペルモラ: every file of one build in one cache named after the build, taken
// whole on the first visit and served from there; a new build's copy replaces the old one only
// once it is complete, so a page never mixes files of two builds.
'use strict';

const BUILD = '@BUILD@';
const CACHE = `perumora-${BUILD}`;
const FILES = @FILES@;  // [path, SHA-256 hex] of every file of the site but this one

async function digest(response) {
  const bytes = await response.clone().arrayBuffer();
  const hash = await crypto.subtle.digest('SHA-256', bytes);
  return Array.from(new Uint8Array(hash), (b) => b.toString(16).padStart(2, '0')).join('');
}

// From the browser's HTTP cache where it holds this build's file (the first visit has just fetched
// it, and need not fetch it twice), else from the server; a file of another build is never taken.
async function fetchExactly(path, sha256) {
  for (const mode of ['force-cache', 'reload']) {
    const response = await fetch(new Request(path, {cache: mode}));
    if (response.ok && (await digest(response)) === sha256) return response;
  }
  throw new Error(`${path} is not the file of build ${BUILD}`);
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const responses = await Promise.all(FILES.map(([path, sha256]) => fetchExactly(path, sha256)));
    const cache = await caches.open(CACHE);
    await Promise.all(FILES.map(([path], i) => cache.put(path, responses[i])));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith('perumora-') && name !== CACHE) await caches.delete(name);
    await self.clients.claim();
  })());
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    const url = new URL(request.url);
    const path = url.pathname.endsWith('/') ? `${url.pathname}index.html` : url.pathname;
    const scope = new URL(self.registration.scope).pathname;
    const hit = await cache.match(`./${path.slice(scope.length)}`, {ignoreSearch: true});
    return hit || fetch(request);
  })());
});
