// Functions that run inside the page, in either engine. They travel as source text and find one
// another as window.perumoraProbes, so none may use anything from this module's scope.

// Before the page's own scripts where the engine allows it (else right after loading): what the
// pupil's pointer, the live region and the animation frames did, on the page's clock.
function installRecorders() {
  if (window.perumoraCheck) return;
  const log = {pointerUps: [], narration: [], animationFrames: 0};
  window.perumoraCheck = log;
  addEventListener('pointerup', (e) => log.pointerUps.push({at: performance.now(), type: e.pointerType}), true);
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((t) => { log.animationFrames++; callback(t); });
  const watchNarration = () => {
    const region = document.getElementById('narration');
    new MutationObserver(() => log.narration.push({at: performance.now(), text: region.textContent}))
      .observe(region, {childList: true, characterData: true, subtree: true});
  };
  if (document.getElementById('narration')) watchNarration();
  else addEventListener('DOMContentLoaded', watchNarration);
}

// Resolves with the condition's first truthy value, checked every 20 ms; null after timeoutMs.
function until({condition, arg, timeoutMs}) {
  const test = new Function('arg', `return (${condition})(arg);`);
  const end = performance.now() + timeoutMs;
  return new Promise((resolve) => {
    const poll = () => {
      let value = null;
      try { value = test(arg); } catch (e) { /* not yet there: the page is still loading */ }
      if (value) resolve(value);
      else if (performance.now() > end) resolve(null);
      else setTimeout(poll, 20);
    };
    poll();
  });
}

// Where the program's window is on the page, and the device-pixel ratio the page really has
// (window.devicePixelRatio is told 1 for Qt's sake).
function programBox() {
  const p = document.getElementById('program');
  const ratio = [1, 1.5, 2, 2.5, 3].find((r) => matchMedia(`(resolution: ${r}dppx)`).matches) || 0;
  return {left: parseFloat(p.style.left), top: parseFloat(p.style.top), scale: Number(p.dataset.scale), ratio,
          width: innerWidth, height: innerHeight, firstFrameAt: window.perumoraPageState.firstFrameAt};
}

// Qt's own elements, in the shadow root of the page's program area (or of Qt's container in it).
function qtRoot() {
  const host = document.getElementById('program');
  return host.shadowRoot || host.querySelector('#qt-shadow-container').shadowRoot;
}

// The pixels of Qt's windows, in window coordinates: the main window's canvas is 643 × 404; a
// dialog's canvas lies where its frame puts it.
function windowCanvases() {
  const origin = document.getElementById('program').getBoundingClientRect();
  return [...perumoraProbes.qtRoot().querySelectorAll('canvas.qt-window-content')].map((canvas) => {
    const r = canvas.getBoundingClientRect();  // the page measures inside the program unscaled
    return {canvas, x: Math.round(r.left - origin.left), y: Math.round(r.top - origin.top),
            width: canvas.width, height: canvas.height};
  });
}

// A short digest of the main window's pixels in [x, y, w, h].
function regionDigest(rect) {
  const {canvas} = perumoraProbes.windowCanvases()[0];
  const data = canvas.getContext('2d').getImageData(...rect).data;
  let hash = 2166136261;
  for (let i = 0; i < data.length; i += 1) hash = Math.imul(hash ^ data[i], 16777619) >>> 0;
  return hash.toString(16);
}

// Polls the digests of named regions every 10 ms and keeps when each one changed; no regions, no
// polling.
function watchRegions(regions) {
  const log = window.perumoraCheck;
  const last = Object.fromEntries(regions.map(({name, rect}) => [name, perumoraProbes.regionDigest(rect)]));
  log.changes = Object.fromEntries(regions.map(({name}) => [name, []]));
  clearInterval(log.watcher);
  if (regions.length) log.watcher = setInterval(() => {
    for (const {name, rect} of regions) {
      const now = perumoraProbes.regionDigest(rect);
      if (now !== last[name]) log.changes[name].push(performance.now());
      last[name] = now;
    }
  }, 10);
}

// The share of pixels equal to the reference picture's in each region; the reference is the
// drawing area alone, which lies at (2, 2) in the window. Where the region holds small text, whose
// edges each rasteriser smooths in its own way, only light and dark are compared.
async function compareWithReference({png, regions}) {
  const image = new Image();
  image.src = `data:image/png;base64,${png}`;
  await image.decode();
  const scratch = document.createElement('canvas');
  [scratch.width, scratch.height] = [image.width, image.height];
  const context = scratch.getContext('2d');
  context.drawImage(image, 0, 0);
  const {canvas} = perumoraProbes.windowCanvases()[0];
  const dark = (d, i) => d[i] + d[i + 1] + d[i + 2] < 384;
  const shares = {};
  for (const {name, rect: [x, y, w, h], ink} of regions) {
    const want = context.getImageData(x, y, w, h).data;
    const have = canvas.getContext('2d').getImageData(x + 2, y + 2, w, h).data;
    let same = 0;
    for (let i = 0; i < want.length; i += 4)
      if (ink ? dark(want, i) === dark(have, i)
              : want[i] === have[i] && want[i + 1] === have[i + 1] && want[i + 2] === have[i + 2]) same++;
    shares[name] = same / (w * h);
  }
  return shares;
}

// The buttons of the open dialog, left to right, as centres in window coordinates: found by their
// outlines, long vertical lines darker than the dialog's face in the lower half of its canvas.
function dialogButtons() {
  const dialog = perumoraProbes.windowCanvases()[1];
  if (!dialog) return null;
  const {data, width, height} = dialog.canvas.getContext('2d').getImageData(0, 0, dialog.width, dialog.height);
  const outline = (x, y) => { const i = (y * width + x) * 4; return data[i] + data[i + 1] + data[i + 2] < 600; };
  const edges = [];  // neighbouring columns that hold such a line count as one edge
  for (let x = 0; x < width; x++) {
    let run = 0, line = null;
    for (let y = Math.floor(height / 2); y < height; y++) {
      run = outline(x, y) ? run + 1 : 0;
      if (run >= 15) line = {top: y - run + 1, bottom: y};
    }
    const last = edges.at(-1);
    if (line && last && last.right === x - 1) last.right = x;
    else if (line) edges.push({left: x, right: x, ...line});
  }
  if (edges.length < 2 || edges.length % 2) return null;
  const buttons = [];
  for (let i = 0; i < edges.length; i += 2)
    buttons.push({x: dialog.x + Math.round((edges[i].left + edges[i + 1].right) / 2),
                  y: dialog.y + Math.round((edges[i].top + edges[i].bottom) / 2)});
  return buttons;
}

// A finger's tap as the page's pointer events, where the driver has no touch of its own. No such
// finger is known to the browser, so capturing it would throw: that alone is let pass meanwhile.
function tapAt({x, y}) {
  const target = perumoraProbes.qtRoot().elementFromPoint(x, y);
  const finger = {bubbles: true, composed: true, cancelable: true, pointerId: 7, pointerType: 'touch', isPrimary: true,
                  clientX: x, clientY: y, width: 12, height: 12, button: 0};
  const capture = ['setPointerCapture', 'releasePointerCapture'].map((name) => [name, Element.prototype[name]]);
  for (const [name, real] of capture) Element.prototype[name] = function (id) { if (id !== 7) real.call(this, id); };
  try {
    target.dispatchEvent(new PointerEvent('pointerdown', {...finger, buttons: 1, pressure: 0.5}));
    target.dispatchEvent(new PointerEvent('pointerup', {...finger, buttons: 0, pressure: 0}));
  } finally {
    for (const [name, real] of capture) Element.prototype[name] = real;
  }
  return true;
}

// Resolves after the page has drawn n more frames: what a tick changed is then on the canvas.
function afterFrames(n) {
  return new Promise((resolve) => {
    const next = (left) => (left ? requestAnimationFrame(() => next(left - 1)) : resolve(true));
    next(n);
  });
}

// What the recorders kept.
function recorded() {
  const log = window.perumoraCheck;
  return {pointerUps: log.pointerUps, narration: log.narration, changes: log.changes || {},
          animationFrames: log.animationFrames, ticks: window.perumoraPage.ticks};
}

// The centre of a page element, and what it says.
function element(selector) {
  const e = document.querySelector(selector);
  if (!e) return null;
  const r = e.getBoundingClientRect();
  return {x: r.left + r.width / 2, y: r.top + r.height / 2, text: e.textContent.trim(), hidden: e.hidden};
}

const probes = {installRecorders, until, programBox, qtRoot, windowCanvases, regionDigest, watchRegions,
                compareWithReference, dialogButtons, tapAt, afterFrames, recorded, element};
const source = `window.perumoraProbes = window.perumoraProbes || {${
  Object.values(probes).map((f) => `${f.name}: ${f}`).join(',\n')}}`;

// An expression that installs the probes where they are missing and calls one of them.
export function probeCall(name, arg) {
  return `(${source}, window.perumoraProbes.${name}(${JSON.stringify(arg) ?? ''}))`;
}
