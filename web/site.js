// Every page of the series offers all of it offline: the service worker
// (sw.js) keeps the whole site, one release at a time. It is registered
// once the page has been open for two seconds: the site's download then
// never competes with this page's own, nor with the next page's when the
// player follows a link at once. Offline play is a bonus: where a browser
// refuses it (a sandboxed frame on a game portal, say), the games play all
// the same.
//
// A page left open would keep its release for good: a new one waits until
// no page of the old is open. So a page looks for a new release when it
// has been registered and after each game, and once one has been kept
// whole, it says so between games (on a game's page, that is at its end)
// with a button that switches the whole site over and reloads.
'use strict';
window.addEventListener('load', () => {
  setTimeout(() => {
    try {
      navigator.serviceWorker?.register('sw.js').then(offerNewRelease, () => {});
    } catch {
      // A frame without an origin of its own may not even ask.
    }
  }, 2000);
});

function offerNewRelease(registration) {
  const notice = document.getElementById('update');
  const offer = () => {
    if (registration.waiting && navigator.serviceWorker.controller) notice.hidden = false;
  };
  registration.addEventListener('updatefound', () => {
    const worker = registration.installing;
    worker.addEventListener('statechange', () => { if (worker.state === 'installed') offer(); });
  });
  offer();
  window.yarnlet?.ended.then(() => registration.update()).catch(() => {});
  notice.querySelector('button').addEventListener('click', () => {
    if (!registration.waiting) {
      location.reload();  // another page has switched already
      return;
    }
    navigator.serviceWorker.addEventListener('controllerchange', () => location.reload());
    registration.waiting.postMessage('take over');  // the worker's message handler, in sw.js.in
  });
}
