// The page around ペルモラ: loads the program with a progress line, gives it the browser's window to
// fill at the device's own resolution, mirrors the window's commands on a toolbar for touch devices,
// reads the canvas's captions into a live region, and says so when the program has ended.
'use strict';

// The program's window at 1x, in CSS pixels.
const WINDOW = {width: 643, height: 404};
const FONT_FILE = '/perumora-gothic.ttf';  // where the program looks for its face

const page = {
  program: document.getElementById('program'),
  status: document.getElementById('status'),
  ended: document.getElementById('ended'),
  narration: document.getElementById('narration'),
  instance: null,
  firstFrameAt: null,  // performance.now() when the window was first on screen
  persistent: null,  // whether the browser keeps the offline copy, once asked
  stillAt: null,  // performance.now() when the kept first frame was shown, if it was
  stillMatched: null,  // whether it was exactly the program's first frame
};
window.perumoraPageState = page;

function say(text) {
  page.status.textContent = text;
  page.status.hidden = false;
}

// ---- the program area ----
// Qt's screen is the program area, which fills the stage (what the toolbar leaves), and Qt knows the
// real device-pixel ratio: the program zooms its window to fill the area and draws it at the
// device's resolution, so that the browser has no raster to enlarge. The area is never smaller than
// the window with one device pixel to each of its pixels; where even that does not fit, the stage
// scrolls.
function fit() {
  const ratio = window.devicePixelRatio || 1;
  page.program.style.minWidth = `${Math.ceil(WINDOW.width / ratio)}px`;
  page.program.style.minHeight = `${Math.ceil(WINDOW.height / ratio)}px`;
  const instance = page.instance;
  if (!instance) return;  // the program fits itself when it starts
  // Qt measures its screen again on a resize of the browser's window; a new ratio, a toolbar of
  // another height or full screen may come without one.
  if (instance.qtResizeContainerElement) instance.qtResizeContainerElement(page.program);
  if (instance.perumoraFit) instance.perumoraFit();
}

function watchSize() {
  window.addEventListener('resize', fit);
  if (typeof ResizeObserver === 'function') new ResizeObserver(fit).observe(page.program);
  const watchRatio = () => {
    matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', () => {
      fit();
      watchRatio();
    }, {once: true});
  };
  watchRatio();
  document.addEventListener('fullscreenchange', fit);
  document.addEventListener('webkitfullscreenchange', fit);
}

// ---- loading ----
// The program is compiled while it downloads, from the response itself: a response with its URL
// lets the browser keep the compiled code for the next visit. A copy of it is read only to count
// the bytes for the progress line.
async function compileWithProgress(url, expectedBytes) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status}`);
  countBytes(response.clone(), expectedBytes);
  const streams = WebAssembly.compileStreaming &&
      (response.headers.get('Content-Type') || '').startsWith('application/wasm');
  if (streams) return WebAssembly.compileStreaming(response);
  return WebAssembly.compile(await response.arrayBuffer());  // a server that names .wasm wrongly
}

async function countBytes(response, expectedBytes) {
  const reader = response.body.getReader();
  let received = 0;
  let shown = -1;
  for (;;) {
    const {done, value} = await reader.read();
    if (done || page.instance) return;
    received += value.length;
    const percent = expectedBytes ? Math.min(99, Math.floor(received * 100 / expectedBytes)) : 0;
    if (percent !== shown) {
      shown = percent;
      say(`読みこんでいます… ${percent} %`);
    }
  }
}

async function fetchFont() {
  try {
    const response = await fetch('perumora-gothic.ttf');
    return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
  } catch (e) {
    return null;  // the program then draws with the browser build's own face
  }
}

async function start() {
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    say('このブラウザは WebAssembly に対応していないため、ペルモラを動かすことができません。');
    return;
  }
  fit();
  watchSize();
  say('読みこんでいます… 0 %');
  still.show();
  const expected = Number(document.body.dataset.wasmBytes) || 0;
  const module = compileWithProgress('perumora.wasm', expected);
  const font = await fetchFont();
  await scriptsLoaded();
  try {
    page.instance = await qtLoad({
      qt: {
        containerElements: [page.program],
        module,
        entryFunction: window.perumora_entry,
        onLoaded: () => {
          page.status.hidden = true;
          page.program.classList.add('shown');
          offerOffline();
        },
        onExit: (exit) => {
          if (!page.ended.hidden) return;
          say(exit.crashed ? 'ペルモラが止まってしまいました。ページを読みこみ直してください。' : 'ペルモラを終了しました');
        },
      },
      preRun: [(instance) => {
        if (font) instance.FS.writeFile(FONT_FILE, font);
      }],
    });
  } catch (e) {
    console.error(e);
    say('ペルモラを読みこめませんでした。ページを読みこみ直してください。');
  }
}

function scriptsLoaded() {
  if (typeof qtLoad === 'function' && typeof window.perumora_entry === 'function') return Promise.resolve();
  return new Promise((resolve) => window.addEventListener('DOMContentLoaded', resolve, {once: true}));
}

// ---- the first frame, kept ----
// The program's first frame is the same on every start of one build in one view: the page keeps
// it, and on the next start shows it where the window will be until the program paints. Shown
// only when it is exactly that frame: it is compared with the program's own once that comes, and
// forgotten when it differs.
const still = {
  cache: 'first-frame',  // not named as the offline copy's caches are: a new build's worker deletes those
  image: null,
  key: () => `first-frame/${document.body.dataset.build}/${innerWidth}x${innerHeight}@${devicePixelRatio}`,
  canvas() {
    const root = page.program.shadowRoot || page.program.querySelector('#qt-shadow-container')?.shadowRoot;
    return root && root.querySelector('canvas.qt-window-content');
  },
  async show() {
    if (!window.caches || !window.isSecureContext) return;
    try {
      const kept = await (await caches.open(still.cache)).match(still.key());
      if (!kept || page.firstFrameAt) return;
      const image = new Image();
      image.src = URL.createObjectURL(await kept.blob());
      await image.decode();
      if (page.firstFrameAt) return;
      const [left, top, width, height] = JSON.parse(kept.headers.get('X-Place'));
      Object.assign(image.style, {position: 'absolute', left: `${left}px`, top: `${top}px`, width: `${width}px`,
                                  height: `${height}px`});
      image.alt = '';
      image.setAttribute('aria-hidden', 'true');
      page.program.before(image);
      still.image = image;
      page.stillAt = performance.now();
    } catch (e) {
      console.warn('no kept first frame:', e);
    }
  },
  drawn() {
    const canvas = still.canvas();
    if (!canvas || !window.caches || !window.isSecureContext) return;
    if (still.image) {
      page.stillMatched = still.same(canvas);
      still.image.remove();
      if (page.stillMatched) return;
    }
    const box = canvas.getBoundingClientRect(), stage = page.program.getBoundingClientRect();
    const place = JSON.stringify([box.left - stage.left, box.top - stage.top, box.width, box.height]);
    canvas.toBlob(async (png) => {
      const kept = await caches.open(still.cache);
      for (const old of await kept.keys()) await kept.delete(old);
      await kept.put(still.key(), new Response(png, {headers: {'Content-Type': 'image/png', 'X-Place': place}}));
    });
  },
  same(canvas) {
    const copy = document.createElement('canvas');
    [copy.width, copy.height] = [canvas.width, canvas.height];
    const context = copy.getContext('2d');
    context.drawImage(still.image, 0, 0);
    const a = context.getImageData(0, 0, copy.width, copy.height).data;
    const b = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    return still.image.naturalWidth === canvas.width && still.image.naturalHeight === canvas.height &&
        a.every((value, i) => value === b[i]);
  },
};

// ---- offline ----
function offerOffline() {
  if (!('serviceWorker' in navigator)) return;
  navigator.serviceWorker.register('sw.js').then(keepOffline).catch((e) => console.warn('no offline copy:', e));
}

// Once the worker has the whole build, the browser is asked not to evict it (iPadOS clears the
// storage of a site not used for some weeks unless it is persistent).
async function keepOffline() {
  await navigator.serviceWorker.ready;
  if (!navigator.storage || !navigator.storage.persist) return;
  page.persistent = (await navigator.storage.persisted()) || (await navigator.storage.persist());
}

// ---- touch ----
// A touch the system takes (a swipe of the home indicator, the app switcher) ends with
// touchcancel; a browser that sends it without a pointercancel would leave the touch down inside
// the program, and the next tap would be a second finger. The program is told of every such touch.
function endCancelledTouches() {
  const down = new Map();  // pointerId of a touch still down -> where it began
  const watch = (type, handle) => window.addEventListener(type, handle, {capture: true, passive: true});
  watch('pointerdown', (e) => {
    if (e.pointerType === 'touch') down.set(e.pointerId, {target: e.composedPath()[0], primary: e.isPrimary});
  });
  const ended = (e) => down.delete(e.pointerId);
  watch('pointerup', ended);
  watch('pointercancel', ended);
  watch('touchcancel', () => {
    for (const [pointerId, touch] of down) {
      touch.target.dispatchEvent(new PointerEvent('pointercancel', {
        pointerId, pointerType: 'touch', isPrimary: touch.primary, bubbles: true, composed: true}));
    }
    down.clear();
  });
}

// ---- what the program tells the page ----
const commands = {};

function showCommands() {
  const button = (name) => document.querySelector(`[data-command="${name}"]`);
  const enabled = (name) => Boolean(commands[name] && commands[name].enabled);
  button('pause').textContent = (commands.pause && commands.pause.text) || '一時停止';
  // The scene buttons while a lesson is on, which is when 前の場面 can do something.
  button('previousScene').hidden = button('nextScene').hidden = !enabled('previousScene');
  button('nextScene').disabled = !enabled('nextScene');
  button('chart').hidden = !enabled('chart');
  for (const name of ['slowMotion', 'chart', 'ruby', 'readAloud'])
    button(name).setAttribute('aria-pressed', String(Boolean(commands[name] && commands[name].checked)));
  // Without a Japanese voice 読み上げ is greyed, and the page says why in one line.
  const why = (commands.readAloud && commands.readAloud.why) || '';
  button('readAloud').disabled = Boolean(why);
  button('readAloud').title = why;
  document.getElementById('speechNote').textContent = why;
  document.getElementById('speechNote').hidden = !why;
}

// ---- read-aloud: the program asks, the browser's Japanese voice speaks ----
// Plain text in kana, lang ja-JP, a local voice where there is one. The list of voices may come
// late, with voiceschanged. iPadOS speaks only what a tap began: the 読み上げ button starts an empty
// utterance inside its own tap before the program's first words.
const speech = {
  voice: null,
  current: null,
  synth: () => window.speechSynthesis,
  start() {
    const synth = speech.synth();
    if (!synth) return;
    const pick = () => {
      const japanese = synth.getVoices().filter((v) => /^ja([-_]|$)/i.test(v.lang));
      speech.voice = japanese.find((v) => v.localService) || japanese[0] || null;
      if (page.instance && page.instance.perumoraSpeechVoices) page.instance.perumoraSpeechVoices(Boolean(speech.voice));
      else setTimeout(pick, 100);  // the program is still starting
    };
    synth.addEventListener('voiceschanged', pick);
    setTimeout(pick);  // the program's side is ready once this call has returned
  },
  say(text) {
    const synth = speech.synth();
    if (!synth) return;
    const utterance = new SpeechSynthesisUtterance(text);
    utterance.lang = 'ja-JP';
    try {
      if (speech.voice) utterance.voice = speech.voice;
    } catch (e) {
      console.warn('voice not taken, ja-JP alone:', e);  // a voice object the engine does not know
    }
    const ended = () => {
      if (speech.current !== utterance) return;
      speech.current = null;
      if (page.instance && page.instance.perumoraSpeechEnded) page.instance.perumoraSpeechEnded();
    };
    utterance.onend = ended;
    utterance.onerror = ended;
    speech.current = utterance;
    synth.cancel();
    synth.speak(utterance);
  },
  stop() {
    speech.current = null;
    if (speech.synth()) speech.synth().cancel();
  },
  pause() {
    if (speech.synth()) speech.synth().pause();
  },
  resume() {
    if (speech.synth()) speech.synth().resume();
  },
  unlock() {
    const synth = speech.synth();
    if (synth && !speech.current) synth.speak(new SpeechSynthesisUtterance(''));
  },
};

window.perumoraPage = {
  speech,
  commandChanged(state) {
    commands[state.name] = state;
    showCommands();
  },
  // The zoom the window has fitted itself to, for whoever inspects the page.
  fitted(zoom) {
    page.program.dataset.zoom = String(zoom);
  },
  // The moment the program's window was first drawn, for the start-up figure.
  drawn() {
    page.status.hidden = true;
    page.program.classList.add('shown');
    requestAnimationFrame(() => {
      page.firstFrameAt = performance.now();
      window.dispatchEvent(new Event('perumora-drawn'));
      still.drawn();
    });
  },
  // A browser check sets wantsTicks (before the program starts) and reads ticks afterwards.
  wantsTicks: new URLSearchParams(location.search).has('ticks'),
  ticks: [],
  ticked(report) {
    this.ticks.push(report);
  },
  narrate(words) {
    page.narration.textContent = words;
  },
  ended() {
    for (const button of document.querySelectorAll('[data-command]')) button.hidden = true;
    page.program.classList.remove('shown');
    page.program.hidden = true;
    page.status.hidden = true;
    page.ended.hidden = false;
    document.getElementById('restart').focus();
  },
};

// ---- the toolbar ----
function focusProgram() {
  const root = page.program.shadowRoot;
  const target = root && (root.querySelector('.qt-window.has-focus') || root.querySelector('.qt-window'));
  if (target) target.focus({preventScroll: true});
}

function wireToolbar() {
  for (const button of document.querySelectorAll('[data-command]')) {
    button.addEventListener('click', () => {
      if (button.dataset.command === 'readAloud') speech.unlock();
      if (page.instance && page.instance.perumoraCommand) page.instance.perumoraCommand(button.dataset.command);
      focusProgram();
    });
  }
  const fullscreen = document.getElementById('fullscreen');
  const root = document.documentElement;
  const enter = root.requestFullscreen || root.webkitRequestFullscreen;
  const exit = document.exitFullscreen || document.webkitExitFullscreen;
  if (!enter) {
    fullscreen.hidden = true;  // a phone's browser: the page is as large as it gets
  } else {
    fullscreen.addEventListener('click', () => {
      const current = document.fullscreenElement || document.webkitFullscreenElement;
      if (current) exit.call(document); else enter.call(root);
      focusProgram();
    });
  }
  document.getElementById('restart').addEventListener('click', () => location.reload());
}

wireToolbar();
endCancelledTouches();
start();
