// Every page of the series offers all of it offline: the service worker
// (sw.js) keeps the whole site, one release at a time. It is registered
// once the page has been open for two seconds: the site's download then
// never competes with this page's own, nor with the next page's when the
// player follows a link at once. Offline play is a bonus: where a browser
// refuses it (a sandboxed frame on a game portal, say), the games play all
// the same.
'use strict';
window.addEventListener('load', () => {
  setTimeout(() => {
    try {
      navigator.serviceWorker?.register('sw.js').catch(() => {});
    } catch {
      // A frame without an origin of its own may not even ask.
    }
  }, 2000);
});
