// Run inside the page, in either engine: as source text that finds the others as window.perumoraProbes, so none may use this scope.

// Installed before the page's own scripts where the engine allows it, else right after loading.
function installRecorders() {
  if (window.perumoraCheck) return;
  const log = window.perumoraCheck = {pointerUps: [], narration: [], animationFrames: 0};
  addEventListener('pointerup', (e) => log.pointerUps.push({at: performance.now(), type: e.pointerType}), true);
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((t) => { log.animationFrames++; callback(t); });
  const watch = () => {
    const region = document.getElementById('narration');
    new MutationObserver(() => log.narration.push({at: performance.now(), text: region.textContent}))
      .observe(region, {childList: true, characterData: true, subtree: true});
  };
  document.getElementById('narration') ? watch() : addEventListener('DOMContentLoaded', watch);
}

async function until({condition, arg, timeoutMs, what}) {
  // While the page loads, what the condition reads may not be there yet.
  const test = new Function('arg', `try { return (${condition})(arg); } catch (e) { return null; }`);
  for (const end = performance.now() + timeoutMs; ; await new Promise((r) => setTimeout(r, 20))) {
    const value = test(arg);
    if (value || performance.now() > end) return value || (what ? Promise.reject(new Error(`${what} within ${timeoutMs} ms`)) : null);
  }
}

// The device-pixel ratio from media queries: window.devicePixelRatio is told 1 for Qt's sake.
function programBox() {
  const p = document.getElementById('program');
  const ratio = [1, 1.5, 2, 2.5, 3].find((r) => matchMedia(`(resolution: ${r}dppx)`).matches) || 0;
  return {left: parseFloat(p.style.left), top: parseFloat(p.style.top), scale: Number(p.dataset.scale), ratio,
          width: innerWidth, height: innerHeight};
}

function pagePoint(target) {
  const {left, top, scale} = perumoraProbes.programBox();
  if (Array.isArray(target)) return {x: left + target[0] * scale, y: top + target[1] * scale};
  const r = document.querySelector(target).getBoundingClientRect();
  return {x: r.left + r.width / 2, y: r.top + r.height / 2};
}

// Qt puts its windows in the shadow root of the program area, or of its own container in it.
function windowCanvases() {
  const host = document.getElementById('program'), root = host.shadowRoot || host.querySelector('#qt-shadow-container').shadowRoot;
  return [...root.querySelectorAll('canvas.qt-window-content')].map((canvas) => ({canvas, root}));
}

const pixels = (canvas, [x, y, w, h] = [0, 0, canvas.width, canvas.height]) => canvas.getContext('2d').getImageData(x, y, w, h).data;
const regionDigest = (rect) => perumoraProbes.pixels(perumoraProbes.windowCanvases()[0].canvas, rect)
  .reduce((hash, byte) => Math.imul(hash ^ byte, 16777619) >>> 0, 2166136261).toString(16);

// The reference is the drawing area alone, which lies at (2, 2) in the window. Where a region holds
// small text, whose edges each rasteriser smooths in its own way, only light and dark are compared.
async function compareWithReference({png, regions}) {
  const image = Object.assign(new Image(), {src: `data:image/png;base64,${png}`});
  await image.decode();
  const reference = new OffscreenCanvas(image.width, image.height);
  reference.getContext('2d').drawImage(image, 0, 0);
  const {canvas} = perumoraProbes.windowCanvases()[0];
  const dark = (d, i) => d[i] + d[i + 1] + d[i + 2] < 384;
  return Object.fromEntries(regions.map(([name, [x, y, w, h], , ink]) => {
    const [want, have] = [perumoraProbes.pixels(reference, [x, y, w, h]), perumoraProbes.pixels(canvas, [x + 2, y + 2, w, h])];
    let same = 0;
    for (let i = 0; i < want.length; i += 4)
      if (ink ? dark(want, i) === dark(have, i) : [0, 1, 2].every((c) => want[i + c] === have[i + c])) same++;
    return [name, same / (w * h)];
  }));
}

// For a driver without touch of its own. No such finger is known to the browser, so capturing it
// would throw: capture does nothing while the tap is given.
function tapAt({x, y}) {
  const target = perumoraProbes.windowCanvases()[0].root.elementFromPoint(x, y);
  const finger = {bubbles: true, composed: true, cancelable: true, pointerId: 7, pointerType: 'touch', isPrimary: true, clientX: x, clientY: y};
  const {setPointerCapture, releasePointerCapture} = Element.prototype;
  Object.assign(Element.prototype, {setPointerCapture() {}, releasePointerCapture() {}});
  target.dispatchEvent(new PointerEvent('pointerdown', {...finger, buttons: 1, pressure: 0.5}));
  target.dispatchEvent(new PointerEvent('pointerup', {...finger, buttons: 0, pressure: 0}));
  Object.assign(Element.prototype, {setPointerCapture, releasePointerCapture});
  return true;
}

// What a tick changed is on the canvas once the page has drawn a frame or two.
const afterFrames = async (n) => { while (n-- > 0) await new Promise(requestAnimationFrame); return true; };
const recorded = () => ({...perumoraCheck, ticks: perumoraPage.ticks});

const probes = {installRecorders, until, programBox, pagePoint, windowCanvases, pixels, regionDigest, compareWithReference,
                tapAt, afterFrames, recorded};
const source = `window.perumoraProbes = window.perumoraProbes || {${Object.entries(probes).map(([name, f]) => `${name}: ${f}`)}}`;

// An expression that installs the probes where they are missing and calls one, or a function of its own.
export const probeCall = (probe, arg) =>
  `(${source}, ${typeof probe === 'function' ? `(${probe})` : `perumoraProbes.${probe}`}(${JSON.stringify(arg) ?? ''}))`;
