// The page around ペルモラ: loads the program with a progress line, fits its window to the browser
// with every pixel crisp, mirrors the window's commands on a toolbar for touch devices, reads the
// canvas's captions into a live region, and says so when the program has ended.
'use strict';

// The program's area: its window, and beside it the chart while that is open.
const area = {width: 643, height: 404};
const FONT_FILE = '/perumora-gothic.ttf';  // where the program looks for its face

const page = {
  program: document.getElementById('program'),
  stage: document.getElementById('stage'),
  status: document.getElementById('status'),
  ended: document.getElementById('ended'),
  narration: document.getElementById('narration'),
  instance: null,
  firstFrameAt: null,  // performance.now() when the window was first on screen
};
window.perumoraPageState = page;

function say(text) {
  page.status.textContent = text;
  page.status.hidden = false;
}

// ---- the device-pixel ratio ----
// The program draws its pixels at 1x and the page enlarges them by whole device pixels. Qt is told a
// ratio of 1 so that its canvas holds exactly the program's pixels; the page keeps the real one.
const ratioProperty = Object.getOwnPropertyDescriptor(window, 'devicePixelRatio') ||
                      Object.getOwnPropertyDescriptor(Object.getPrototypeOf(window), 'devicePixelRatio');
function realPixelRatio() {
  return (ratioProperty && ratioProperty.get ? ratioProperty.get.call(window) : 1) || 1;
}
function tellQtRatioOne() {
  try {
    Object.defineProperty(window, 'devicePixelRatio', {get: () => 1, configurable: true});
  } catch (e) {
    // Then Qt draws at the device's resolution; the fit below stays right, merely less sharp.
  }
}

// ---- Qt's view of the page ----
// Qt measures its elements with getBoundingClientRect and adds what it measures to the pointer's
// position inside the element it hit; under the page's scale those two would disagree. Inside the
// program, every element is measured as it would be unscaled, around the same top left corner.
function measureProgramUnscaled() {
  const measure = Element.prototype.getBoundingClientRect;
  const inProgram = (element) => {
    for (let node = element; node; node = node.parentNode || node.host) if (node === page.program) return true;
    return false;
  };
  Element.prototype.getBoundingClientRect = function () {
    const rect = measure.call(this);
    const scale = Number(page.program.dataset.scale) || 1;
    if (scale === 1 || !inProgram(this)) return rect;
    const origin = measure.call(page.program);
    return new DOMRect(origin.left + (rect.left - origin.left) / scale, origin.top + (rect.top - origin.top) / scale,
                       rect.width / scale, rect.height / scale);
  };
}

// ---- fitting the window ----
// The largest scale at which one program pixel is a whole number of device pixels; smaller than the
// program itself only where nothing else fits, and then smooth.
function fitScale(room, ratio) {
  const fits = Math.min(room.width / area.width, room.height / area.height);
  const devicePixels = Math.floor(fits * ratio + 1e-9);
  return devicePixels >= 1 ? {scale: devicePixels / ratio, crisp: true} : {scale: fits, crisp: false};
}

function fit() {
  const ratio = realPixelRatio();
  const room = {width: page.stage.clientWidth, height: page.stage.clientHeight};
  const {scale, crisp} = fitScale(room, ratio);
  // On whole device pixels, so that the enlarged pixels do not straddle two.
  const snap = (v) => Math.round(v * ratio) / ratio;
  page.program.style.left = `${snap((room.width - area.width * scale) / 2)}px`;
  page.program.style.top = `${snap((room.height - area.height * scale) / 2)}px`;
  page.program.style.transform = `scale(${scale})`;
  page.program.classList.toggle('smooth', !crisp);
  page.program.dataset.scale = String(scale);
}

function watchSize() {
  window.addEventListener('resize', fit);
  let ratio = realPixelRatio();
  const watchRatio = () => {
    matchMedia(`(resolution: ${ratio}dppx)`).addEventListener('change', () => {
      ratio = realPixelRatio();
      fit();
      watchRatio();
    }, {once: true});
  };
  watchRatio();
  document.addEventListener('fullscreenchange', fit);
  document.addEventListener('webkitfullscreenchange', fit);
}

// ---- loading ----
// The program is compiled while it downloads; the bytes that pass are counted for the progress line.
async function compileWithProgress(url, expectedBytes) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url}: ${response.status}`);
  let received = 0;
  let shown = -1;
  const counted = response.body.pipeThrough(new TransformStream({
    transform(chunk, controller) {
      received += chunk.length;
      const percent = expectedBytes ? Math.min(99, Math.floor(received * 100 / expectedBytes)) : 0;
      if (percent !== shown) {
        shown = percent;
        say(`読みこんでいます… ${percent} %`);
      }
      controller.enqueue(chunk);
    },
  }));
  const wasm = new Response(counted, {headers: {'Content-Type': 'application/wasm'}});
  if (WebAssembly.compileStreaming) return WebAssembly.compileStreaming(wasm);
  return WebAssembly.compile(await wasm.arrayBuffer());
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
  tellQtRatioOne();
  measureProgramUnscaled();
  fit();
  watchSize();
  say('読みこんでいます… 0 %');
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

// ---- offline ----
function offerOffline() {
  if (!('serviceWorker' in navigator)) return;
  navigator.serviceWorker.register('sw.js').catch((e) => console.warn('no offline copy:', e));
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
  for (const name of ['slowMotion', 'chart'])
    button(name).setAttribute('aria-pressed', String(Boolean(commands[name] && commands[name].checked)));
}

window.perumoraPage = {
  commandChanged(state) {
    commands[state.name] = state;
    showCommands();
  },
  programArea(size) {
    area.width = size.width;
    area.height = size.height;
    page.program.style.width = `${size.width}px`;
    page.program.style.height = `${size.height}px`;
    fit();
  },
  // The moment the program's window was first drawn, for the start-up figure.
  drawn() {
    page.status.hidden = true;
    page.program.classList.add('shown');
    requestAnimationFrame(() => {
      page.firstFrameAt = performance.now();
      window.dispatchEvent(new Event('perumora-drawn'));
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
start();
