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

// The program's window as the browser shows it: its canvas's box in CSS pixels and its own pixels,
// the zoom the program says it fitted itself to, and what would make the browser resample the
// raster: a canvas with fewer or more pixels than its box has device pixels, a box off the device
// pixels, a transform on the canvas or anything around it.
function programBox() {
  const [ratio, {canvas}] = [devicePixelRatio, perumoraProbes.windowCanvases()[0]];
  const [box, stage] = [canvas.getBoundingClientRect(), document.getElementById('stage').getBoundingClientRect()];
  const transformed = [];
  for (let node = canvas; node && node !== document; node = node.parentNode || node.host)
    if (node.nodeType === 1 && getComputedStyle(node).transform !== 'none') transformed.push(node.id || node.tagName);
  const onDevicePixels = (v) => Math.abs(v * ratio - Math.round(v * ratio)) < 0.01;
  return {ratio, width: innerWidth, height: innerHeight, zoom: Number(document.getElementById('program').dataset.zoom),
          left: box.left, top: box.top, right: box.right, bottom: box.bottom, pixels: [canvas.width, canvas.height],
          stage: {left: stage.left, top: stage.top, right: stage.right, bottom: stage.bottom},
          unresampled: canvas.width === Math.round(box.width * ratio) && canvas.height === Math.round(box.height * ratio) &&
                       onDevicePixels(box.left) && onDevicePixels(box.top) && !transformed.length, transformed};
}

// A point of the window given in its pixels at 1x, or the middle of a page element.
function pagePoint(target) {
  if (!Array.isArray(target)) {
    const r = document.querySelector(target).getBoundingClientRect();
    return {x: r.left + r.width / 2, y: r.top + r.height / 2};
  }
  const {left, top, zoom} = perumoraProbes.programBox();
  return {x: left + target[0] * zoom, y: top + target[1] * zoom};
}

// Every window's frame in CSS pixels, the main window first, with its canvas's own pixels.
function windowFrames() {
  return perumoraProbes.windowCanvases().map(({canvas}) => {
    const frame = canvas.closest('.qt-window').getBoundingClientRect();
    return {left: frame.left, top: frame.top, right: frame.right, bottom: frame.bottom,
            cssWidth: canvas.getBoundingClientRect().width, pixels: canvas.width};
  });
}

// Qt's elements for a screen reader, once its visually hidden switch has been pressed: each
// control's name and box, relative to the main window's canvas, in CSS pixels.
function accessibleBoxes() {
  const {root, canvas} = perumoraProbes.windowCanvases()[0];
  const origin = canvas.getBoundingClientRect();
  [...root.querySelectorAll('button')].find((b) => b.textContent === 'Enable Screen Reader')?.click();
  return Object.fromEntries([...root.querySelectorAll('button')].map((b) => {
    const r = b.getBoundingClientRect();
    return [b.textContent, [r.left - origin.left, r.top - origin.top, r.width, r.height]];
  }));
}

// Qt puts its windows in the shadow root of the program area, or of its own container in it.
function windowCanvases() {
  const host = document.getElementById('program'), root = host.shadowRoot || host.querySelector('#qt-shadow-container').shadowRoot;
  return [...root.querySelectorAll('canvas.qt-window-content')].map((canvas) => ({canvas, root}));
}

const pixels = (canvas, [x, y, w, h] = [0, 0, canvas.width, canvas.height]) => canvas.getContext('2d').getImageData(x, y, w, h).data;
// A rectangle of the window in its pixels at 1x, in the canvas's own pixels.
function devicePixels([x, y, w, h]) {
  const s = perumoraProbes.programBox().zoom * devicePixelRatio;
  return [Math.floor(x * s), Math.floor(y * s), Math.ceil(w * s), Math.ceil(h * s)];
}
const regionDigest = (rect) => perumoraProbes.pixels(perumoraProbes.windowCanvases()[0].canvas, perumoraProbes.devicePixels(rect))
  .reduce((hash, byte) => Math.imul(hash ^ byte, 16777619) >>> 0, 2166136261).toString(16);

// The reference is the drawing area alone, at 1x; on the canvas it starts two pixels of the window
// in, at the window's scale s (device pixels per pixel). Each of its pixels is compared with the
// device pixel at the middle of the block that shows it: wholly inside the block at a whole scale
// and from 2 on, else taking up to 1 - s / 2 of a neighbour, by which share its colour may differ.
// Where a region holds text, drawn at the device's resolution, only light and dark are compared.
async function compareWithReference({png, regions}) {
  const image = Object.assign(new Image(), {src: `data:image/png;base64,${png}`});
  await image.decode();
  const reference = new OffscreenCanvas(image.width, image.height);
  reference.getContext('2d').drawImage(image, 0, 0);
  const {canvas} = perumoraProbes.windowCanvases()[0];
  const s = perumoraProbes.programBox().zoom * devicePixelRatio, start = Math.round(2 * s);
  const have = perumoraProbes.pixels(canvas);
  const tolerance = Number.isInteger(s) || s >= 2 ? 0 : Math.ceil(255 * (1 - s / 2));
  const dark = (d, i) => d[i] + d[i + 1] + d[i + 2] < 384;
  return Object.fromEntries(regions.map(([name, [x, y, w, h], , ink]) => {
    const want = perumoraProbes.pixels(reference, [x, y, w, h]);
    let same = 0;
    for (let row = 0; row < h; row++) {
      for (let column = 0; column < w; column++) {
        const [i, j] = [4 * (row * w + column), 4 * (Math.floor(start + (y + row + 0.5) * s) * canvas.width + Math.floor(start + (x + column + 0.5) * s))];
        if (ink ? dark(want, i) === dark(have, j) : [0, 1, 2].every((c) => Math.abs(want[i + c] - have[j + c]) <= tolerance)) same++;
      }
    }
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

// axe-core, added to the page once, over the whole document and into the open shadow roots: each
// violated rule with its impact, how many elements break it and the first one's selector.
async function audit(source) {
  if (!window.axe) document.head.append(Object.assign(document.createElement('script'), {textContent: source}));
  const {passes, violations} = await axe.run(document, {resultTypes: ['violations']});
  return {passes: passes.length, violations: violations.map(({id, impact, nodes}) =>
    ({id, impact, nodes: nodes.length, target: nodes[0].target.map((t) => [].concat(t).join(' >>> ')).join(' ')}))};
}

// What a tick changed is on the canvas once the page has drawn a frame or two.
const afterFrames = async (n) => { while (n-- > 0) await new Promise(requestAnimationFrame); return true; };
const recorded = () => ({...perumoraCheck, ticks: perumoraPage.ticks});

const probes = {installRecorders, until, programBox, pagePoint, windowFrames, accessibleBoxes, windowCanvases, pixels, devicePixels,
                regionDigest, compareWithReference, tapAt, audit, afterFrames, recorded};
const source = `window.perumoraProbes = window.perumoraProbes || {${Object.entries(probes).map(([name, f]) => `${name}: ${f}`)}}`;

// An expression that installs the probes where they are missing and calls one, or a function of its own.
export const probeCall = (probe, arg) =>
  `(${source}, ${typeof probe === 'function' ? `(${probe})` : `perumoraProbes.${probe}`}(${JSON.stringify(arg) ?? ''}))`;
