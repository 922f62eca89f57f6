// The module's settings; and the lesson's list, the module and the page's
// other scripts, fetched only once the first look's video shows its first
// frame. Fetched and run beside the video's loading (the tool's start holds
// the page's thread for a few hundred ms), they left the page's thread no
// turn for it, and the frame came some 100 ms later than on a page with the
// video alone; the lesson starts no later for it. The scripts run
// in order, view.js before the module's own script.
'use strict';
var Module = {
  printErr: (text) => console.warn(text),
};

(function () {
  // The site's shared files lie beside this script (above the page on a
  // site of several lessons); lesson.json beside the page.
  const shared = (name) => new URL(name, document.currentScript.src).href;
  const scripts = [shared('view.js'), shared('scenova-web.js')];
  const fetched = ['lesson.json', shared('scenova-web.wasm')];
  let loaded = false;
  const load = () => {
    if (loaded) return;
    loaded = true;
    for (const href of fetched) {
      document.head.appendChild(Object.assign(document.createElement('link'),
        { rel: 'preload', as: 'fetch', crossOrigin: 'anonymous', href }));
    }
    for (const src of scripts) {
      document.head.appendChild(Object.assign(document.createElement('script'), { src, async: false }));
    }
  };
  const video = document.querySelector('#first-view video');
  if (!video || video.readyState >= HTMLMediaElement.HAVE_CURRENT_DATA || video.error) return load();
  video.addEventListener('loadeddata', () => requestAnimationFrame(() => setTimeout(load)), { once: true });
  video.addEventListener('error', load, { once: true });
  // A hidden tab paints nothing, and a movie may never give a frame.
  setTimeout(load, 1500);
})();
