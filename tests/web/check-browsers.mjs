// The web build in real browsers: serves BUILD_DIR/site on 127.0.0.1 and drives it in headless
// Chromium and in WebKit as a pupil would, then measures the download, the start-up, the idle
// page and the lessons' timing. One line per check; screenshots and results.json go to
// BUILD_DIR/browser-check/.
//
//   node check-browsers.mjs BUILD_DIR PLAYWRIGHT_CORE_DIR
import {spawn} from 'node:child_process';
import {mkdirSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {dirname, join, resolve} from 'node:path';
import {setTimeout as delay} from 'node:timers/promises';
import {fileURLToPath} from 'node:url';
import {launchChromium} from './browsers/chromium.mjs';
import {freePort, untilAnswers} from './browsers/local.mjs';
import {launchWebKit} from './browsers/webkit.mjs';

const [buildDir, playwrightDir] = process.argv.slice(2).map((p) => resolve(p));
const repo = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const out = join(buildDir, 'browser-check');

const LIMITS = {gzipBytes: 4.5e6, brotliBytes: 3.5e6, coldMs: 1500, warmMs: 500, idleShare: 0.01,
                stepMs: 20, promptShare: 0.01};
// Window pixels of the menu's buttons and of the simulator's panel (its frame is at 440, 40).
const MENU = {dekikata: [128, 244], zensen: [368, 244], yama: [128, 300], simulator: [368, 300], quit: [560, 300]};
const QUIT_BUTTON = [496, 280, 129, 41];
const PANEL = {altitudeUp: [604, 180], altitudeReadout: [448, 184, 129, 41], back: [584, 336]};
const DRAWING = [2, 2, 436, 400];  // the drawing area left of the panel
// From the step tables, as the desktop's lesson_timing computes them: when each first caption is
// due and when the final prompt comes, in ms after the start; caption regions lie inside the text.
const LESSONS = {
  dekikata: {scene: 1, button: MENU.dekikata, lastStep: 54, promptMs: 67900, captions: [
    {text: 'おひさま、ぽかぽか', dueMs: 1000, rect: [200, 56, 90, 18]},
    {text: 'とっても良い天気', dueMs: 1500, rect: [200, 95, 90, 18]}]},
  yama: {scene: 2, button: MENU.yama, lastStep: 24, promptMs: 41640, captions: []},
  zensen: {scene: 3, button: MENU.zensen, lastStep: 60, promptMs: 66600, captions: [
    {text: '冷たい空気の中に', dueMs: 200, rect: [280, 42, 100, 18]}]},
};
// Regions of the finished title in the reference frame (drawing-area pixels), and the share of
// pixels that must agree. The heading is large enough to come out pixel for pixel from the same
// face; the 16 px lines are compared as ink only.
const REFERENCE = readFileSync(join(repo, 'tests/golden/TownTitleFinished.png')).toString('base64');
const REFERENCE_REGIONS = [
  {name: 'sky and heading ペルモラ', rect: [0, 0, 640, 86], atLeast: 1},
  {name: 'sky and clouds', rect: [0, 194, 640, 136], atLeast: 1},
  {name: 'town', rect: [0, 330, 640, 70], atLeast: 1},
  {name: 'text box (ink)', rect: [73, 88, 490, 106], atLeast: 0.97, ink: true},
];
const VIEWS = {
  '1366x768': {width: 1366, height: 768, ratio: 1, scale: 1},
  '1180x820-ratio2': {width: 1180, height: 820, ratio: 2, scale: 1.5},
};

// The limits are set for headless Chromium; WebKit's figures are measured and compared, not held to them.
function againstLimit(engine, within, limit) {
  if (engine === 'chromium') return [within, `limit ${limit}`];
  return [true, `Chromium's limit ${limit}: ${within ? 'within' : 'OVER'}; measured only`];
}

const results = [];
const ms = (t) => `${Math.round(t)} ms`;
const signed = (t) => `${t >= 0 ? '+' : ''}${t.toFixed(1)}`;

function report(engine, check, status, figure) {
  results.push({engine, check, status, figure});
  console.log(`${status} ${engine.padEnd(8)} ${check}: ${figure}`);
}

// body() gives [passed, figure]; passed null is a skip whose figure says why.
async function check(engine, name, body) {
  try {
    const [passed, figure] = await body();
    report(engine, name, passed === null ? 'SKIP' : passed ? 'PASS' : 'FAIL', figure);
    return passed;
  } catch (e) {
    report(engine, name, 'FAIL', String(e.message || e).split('\n')[0]);
    return false;
  }
}

// ---- the program on the page, the same in both engines ----
const until = (tab, condition, arg, timeoutMs = 10000) =>
  tab.call('until', {condition: String(condition), arg, timeoutMs});

async function pagePoint(tab, [x, y]) {
  const box = await tab.call('programBox');
  return [box.left + x * box.scale, box.top + y * box.scale];
}
const press = async (tab, how, point) => tab[how](...await pagePoint(tab, point));
const pressElement = async (tab, selector) => {
  const {x, y} = await tab.call('element', selector);
  await tab.click(x, y);
};

async function start(tab, url) {
  await (url ? tab.goto(url) : tab.reload());
  const firstFrameAt = await until(tab, () => window.perumoraPageState.firstFrameAt, null, 20000);
  if (!firstFrameAt) throw new Error('the program drew no first frame within 20 s');
  return firstFrameAt;
}

async function tick(tab, scene, step, timeoutMs = 15000) {
  const found = await until(tab, ([scene, step]) => perumoraPage.ticks.find((t) => t.scene === scene &&
    (step === 'last' ? !t.running : t.step === step)), [scene, step], timeoutMs);
  if (!found) throw new Error(`scene ${scene} reached no step ${step} within ${timeoutMs} ms`);
  await tab.call('afterFrames', 2);
  return found;
}

async function menuAfterReload(tab) {
  await start(tab);
  await tick(tab, 0, 10);
}

const shot = (tab, engine, name) => tab.screenshot(join(out, `${engine}-${name}.png`));

// A lesson started by a click or a tap: its first captions in the live region and on the canvas,
// each within 20 ms before and 60 ms after its due time (a tick, a frame and the watcher's poll).
async function startLesson(engine, tab, lesson, how) {
  return check(engine, `lesson started by a ${how}: first captions at their times`, async () => {
    await tab.call('watchRegions', lesson.captions.map(({text, rect}) => ({name: text, rect})));
    await press(tab, how, lesson.button);
    const last = lesson.captions.at(-1);
    await until(tab, (text) => perumoraCheck.narration.some((n) => n.text.includes(text)), last.text, last.dueMs + 3000);
    await tab.call('afterFrames', 3);
    const {pointerUps, narration, changes, ticks} = await tab.call('recorded');
    const firstTick = ticks.find((t) => t.scene === lesson.scene);
    if (!firstTick) throw new Error(`the ${how} started no lesson`);
    const startedAt = pointerUps.filter((t) => t <= firstTick.at).at(-1);
    const figures = lesson.captions.map(({text, dueMs}) => {
      const spoken = narration.find((n) => n.at > startedAt && n.text.includes(text));
      const drawn = changes[text].find((t) => t > startedAt + 100);
      const late = [spoken?.at, drawn].map((t) => (t === undefined ? NaN : t - startedAt - dueMs));
      return {ok: late[0] >= -20 && late[0] <= 40 && late[1] >= -20 && late[1] <= 60,
              text: `「${text}」 due ${ms(dueMs)}: live region ${signed(late[0])} ms, pixels ${signed(late[1])} ms`};
    });
    return [figures.every((f) => f.ok), figures.map((f) => f.text).join('; ')];
  });
}

async function pauseHoldsTheCanvas(engine, tab) {
  return check(engine, 'toolbar 一時停止 holds the canvas, 再開 moves it again', async () => {
    await tick(tab, 1, 4);
    await pressElement(tab, '#pause');
    const paused = await until(tab, () => document.getElementById('pause').textContent === '再開', null, 2000);
    await tab.call('afterFrames', 2);
    const held = {digest: await tab.call('regionDigest', DRAWING), ticks: (await tab.call('recorded')).ticks.length};
    await delay(1500);  // the program's own timing: a step would have come within 400 ms
    const still = await tab.call('regionDigest', DRAWING) === held.digest &&
                  (await tab.call('recorded')).ticks.length === held.ticks;
    await pressElement(tab, '#pause');
    const resumed = await until(tab, () => document.getElementById('pause').textContent === '一時停止', null, 2000);
    const moved = await until(tab, (n) => perumoraPage.ticks.length > n, held.ticks, 3000);
    await tab.call('afterFrames', 2);
    const changed = await tab.call('regionDigest', DRAWING) !== held.digest;
    return [Boolean(paused && still && resumed && moved && changed),
            `text flipped ${paused ? 'to 再開' : 'NOT'} and ${resumed ? 'back' : 'NOT back'}; held 1.5 s ${
              still ? 'with no tick and no pixel changed' : 'but it MOVED'}; after 再開 ${
              moved && changed ? 'the next step came and the canvas changed' : 'it did NOT move'}`];
  });
}

async function simulatorAltitude(engine, tab) {
  return check(engine, 'simulator: ↑ of 高度 changes the read-out and the parcel', async () => {
    await menuAfterReload(tab);
    await press(tab, 'click', MENU.simulator);
    await tick(tab, 4, 'last', 12000);  // the instructions take 7.3 s
    await shot(tab, engine, 'simulator');
    const before = [await tab.call('regionDigest', PANEL.altitudeReadout), await tab.call('regionDigest', DRAWING)];
    await press(tab, 'click', PANEL.altitudeUp);
    const readout = await until(tab, ([rect, was]) => perumoraProbes.regionDigest(rect) !== was,
                                [PANEL.altitudeReadout, before[0]], 2000);
    const parcel = await tab.call('regionDigest', DRAWING) !== before[1];
    return [Boolean(readout && parcel), `read-out ${readout ? 'changed' : 'UNCHANGED'}, drawing ${parcel ? 'changed' : 'UNCHANGED'}`];
  });
}

async function quitQuestion(engine, tab) {
  const ask = async () => {
    await press(tab, 'click', MENU.quit);
    const buttons = await until(tab, () => perumoraProbes.dialogButtons()?.length === 2 && perumoraProbes.dialogButtons(),
                                null, 3000);
    if (!buttons || buttons.length !== 2) throw new Error(`no question with two buttons (${JSON.stringify(buttons)})`);
    return buttons;
  };
  await check(engine, 'quit question answered いいえ (clicked): the program goes on', async () => {
    const quit = await tab.call('regionDigest', QUIT_BUTTON);
    await press(tab, 'click', PANEL.back);
    await until(tab, ([rect, was]) => perumoraProbes.regionDigest(rect) !== was, [QUIT_BUTTON, quit], 3000);
    const [, no] = await ask();
    await shot(tab, engine, 'quit-question');
    await press(tab, 'click', [no.x, no.y]);
    const closed = await until(tab, () => perumoraProbes.windowCanvases().length === 1, null, 3000);
    const ended = await tab.call('element', '#ended');
    const again = closed && !ended.hidden ? null : await ask();
    return [Boolean(closed && ended.hidden && again), `いいえ at window (${no.x}, ${no.y}): question ${
      closed ? 'closed' : 'STILL OPEN'}, end page ${ended.hidden ? 'hidden' : 'SHOWN'}, 終了 asks again: ${again ? 'yes' : 'no'}`];
  });
  await check(engine, 'quit question answered はい (key y): the end page, then もう一度はじめる', async () => {
    await tab.key('y');
    const ended = await until(tab, () => !document.getElementById('ended').hidden &&
      document.getElementById('ended').textContent, null, 3000);
    await shot(tab, engine, 'ended');
    const restart = await tab.call('element', '#restart');
    const saysEnded = Boolean(ended && ended.includes('ペルモラを終了しました'));
    await tab.click(restart.x, restart.y);
    const again = await until(tab, () => window.perumoraPageState?.firstFrameAt, null, 20000);
    return [saysEnded && restart.text === 'もう一度はじめる' && Boolean(again),
            `end page 「${(ended || '').replace(/\s+/g, ' ').trim()}」, 「${restart.text}」 ${
              again ? 'started the program again' : 'did NOT start it again'}`];
  });
}

async function fitsCrisply(engine, tab, view) {
  return check(engine, `page at ${view}`, async () => {
    const {width, height, ratio, scale} = VIEWS[view];
    const box = await tab.call('programBox');
    const devicePixels = box.scale * box.ratio;
    const whole = [devicePixels, box.left * box.ratio, box.top * box.ratio].every(Number.isInteger);
    await shot(tab, engine, `page-${view}`);
    return [box.width === width && box.height === height && box.ratio === ratio && box.scale === scale && whole,
            `viewport ${box.width} × ${box.height}, ratio ${box.ratio}, scale ${box.scale} = ${devicePixels} device px per pixel, ` +
            `at (${box.left}, ${box.top})${whole ? '' : ' NOT on whole device pixels'}`];
  });
}

async function idle(engine, tab) {
  return check(engine, 'idle at the menu over 10 s', async () => {
    const [busy, frames, t] = [await tab.busySeconds(), (await tab.call('recorded')).animationFrames, Date.now()];
    await delay(10000);  // the measurement's own span
    const share = (await tab.busySeconds() - busy) / ((Date.now() - t) / 1000);
    const loops = (await tab.call('recorded')).animationFrames - frames;
    const [ok, limit] = againstLimit(engine, share <= LIMITS.idleShare, '1 %');
    return [ok && loops < 10, `${(share * 100).toFixed(2)} % of one core ${engine === 'chromium'
      ? "(the page's main thread, TaskDuration)" : "(the web processes' CPU time)"} (${limit}); ${loops} animation frames`];
  });
}

// The short journey, in either engine: title, menu, a lesson by click with pause, a lesson by tap,
// the simulator, the quit question.
async function journey(engine, tab, chromiumOnly = {}) {
  const origin = tab.origin;
  await check(engine, 'first frame, cold cache', async () => {
    const at = await start(tab, `${origin}/?ticks`);
    const [ok, limit] = againstLimit(engine, at <= LIMITS.coldMs, ms(LIMITS.coldMs));
    return [ok, `${ms(at)} after navigation (${limit})`];
  });
  await check(engine, 'title drawn, as the reference frame', async () => {
    await tick(tab, 0, 9);
    await shot(tab, engine, 'title');
    const shares = await tab.call('compareWithReference', {png: REFERENCE, regions: REFERENCE_REGIONS});
    return [REFERENCE_REGIONS.every((r) => shares[r.name] >= r.atLeast),
            REFERENCE_REGIONS.map((r) => `${r.name} ${(shares[r.name] * 100).toFixed(1)} % equal`).join(', ')];
  });
  await check(engine, 'menu after 5 s', async () => {
    const menu = await tick(tab, 0, 10);
    const heading = (await tab.call('recorded')).narration.find((n) => n.text === 'ペルモラ');
    const after = menu.at - heading.at + 500;  // the heading is the title's first step, at 0.5 s
    const box = await tab.call('programBox');
    const buttons = await tab.call('compareWithReference', {png: REFERENCE, regions: [{name: 'b', rect: [14, 222, 225, 41]}]});
    return [Math.abs(after - 5000) <= 50 && buttons.b < 0.5, `menu at ${ms(after)} of the title by its heading (design 5000 ms), ${
      ms(menu.at - box.firstFrameAt)} after the first frame; ${buttons.b < 0.5 ? 'its buttons drawn' : 'NO buttons drawn'}`];
  });
  await fitsCrisply(engine, tab, '1366x768');
  const worker = await until(tab, () => navigator.serviceWorker?.controller?.state, null, 20000);
  await chromiumOnly.download?.();
  await idle(engine, tab);
  await startLesson(engine, tab, LESSONS.dekikata, 'click');
  await shot(tab, engine, 'lesson');
  await chromiumOnly.liveRegion?.();
  await pauseHoldsTheCanvas(engine, tab);
  await check(engine, 'second visit, served by the service worker', async () => {
    if (!worker) return [null, 'no service worker took control of the page (not offered by this browser build)'];
    await tab.offline?.(true);
    const at = await start(tab);
    await chromiumOnly.offline?.(at);
    const [ok, limit] = againstLimit(engine, at <= LIMITS.warmMs, ms(LIMITS.warmMs));
    return [ok, `first frame ${ms(at)} after navigation (${limit})`];
  });
  await tick(tab, 0, 10);
  await startLesson(engine, tab, LESSONS.zensen, 'tap');
  await simulatorAltitude(engine, tab);
  await quitQuestion(engine, tab);
}

// ---- Chromium alone: the download, the live region, offline, the lessons' timing ----
async function download(engine, tab, encoding, limit) {
  return check(engine, `download of a first visit, ${encoding}`, async () => {
    await until(tab, () => navigator.serviceWorker?.controller, null, 20000);
    const {page, worker, requests, wasm} = await tab.downloaded();
    const mb = (bytes) => `${(bytes / 1e6).toFixed(3)} MB`;
    return [page + worker <= limit && wasm.every((w) => w.includes(encoding === 'brotli' ? 'br' : 'gzip') || / 304 /.test(w)),
            `${mb(page + worker)} = page ${mb(page)} + service worker ${mb(worker)} in ${requests} responses (limit ${
              limit / 1e6} MB); .wasm: ${wasm.join(', ')}`];
  });
}

async function lessonTiming(chromium, origin, name) {
  const lesson = LESSONS[name];
  const tab = await chromium.open();
  try {
    return await check('chromium', `timing of ${name}, every step and the final prompt`, async () => {
      await start(tab, `${origin}/?ticks`);
      await tick(tab, 0, 'last');
      await press(tab, 'click', lesson.button);
      await tick(tab, lesson.scene, 'last', lesson.promptMs + 15000);
      const {pointerUps, ticks: all} = await tab.call('recorded');
      const ticks = all.filter((t) => t.scene === lesson.scene);
      const startedAt = pointerUps.filter((t) => t <= ticks[0].at).at(-1);
      let due = ticks[0].at, worst = 0;
      for (const [k, t] of ticks.entries()) {
        if (k) due += ticks[k - 1].interval;
        if (Math.abs(t.at - due) > Math.abs(worst)) worst = t.at - due;
      }
      const prompt = ticks.at(-1);
      const error = (prompt.at - startedAt) / lesson.promptMs - 1;
      return [Math.abs(worst) <= LIMITS.stepMs && Math.abs(error) <= LIMITS.promptShare && prompt.step === lesson.lastStep,
              `${ticks.length} steps, worst ${signed(worst)} ms from due (limit ±20 ms); final prompt (step ${prompt.step}) at ${
                ms(prompt.at - startedAt)}, design ${ms(lesson.promptMs)}, error ${signed(error * 100)} % (limit ±1 %)`];
    });
  } finally {
    await tab.close();
  }
}

async function inChromium(origin) {
  const chromium = await launchChromium(playwrightDir);
  try {
    const tab = Object.assign(await chromium.open({touch: true}), {origin});
    await journey('chromium', tab, {
      download: () => download('chromium', tab, 'brotli', LIMITS.brotliBytes),
      liveRegion: () => check('chromium', 'live region reads a caption', async () => {
        const {live, text} = await tab.liveRegion('#narration');
        return [live === 'polite' && text.includes('とっても良い天気'), `aria-live ${live}: 「${text}」`];
      }),
      offline: async (at) => {
        report('chromium', 'reload with the network cut off starts the program', 'PASS', `first frame at ${ms(at)}`);
        await tab.offline(false);
      },
    });
    await tab.close();
    const gzip = Object.assign(await chromium.open({headers: {'Accept-Encoding': 'gzip, deflate'}}), {origin});
    await start(gzip, `${origin}/`);
    await download('chromium', gzip, 'gzip', LIMITS.gzipBytes);
    await gzip.close();
    const sharp = await chromium.open(VIEWS['1180x820-ratio2']);
    await start(sharp, `${origin}/?ticks`);
    await tick(sharp, 0, 10);
    await fitsCrisply('chromium', sharp, '1180x820-ratio2');
    await sharp.close();
    // Side by side: each lesson has a renderer of its own and sleeps between steps.
    await Promise.all(Object.keys(LESSONS).map((name) => lessonTiming(chromium, origin, name)));
  } finally {
    await chromium.close();
  }
}

async function inWebKit(origin) {
  const webkit = await launchWebKit({profileParent: out});
  try {
    await webkit.tab.resize(1366, 768);
    await journey('webkit', Object.assign(webkit.tab, {origin}));
  } finally {
    await webkit.close();
  }
  const sharp = await launchWebKit({ratio: 2, profileParent: out});
  try {
    await sharp.tab.resize(1180, 820);
    await start(sharp.tab, `${origin}/?ticks`);
    await tick(sharp.tab, 0, 10);
    await fitsCrisply('webkit', sharp.tab, '1180x820-ratio2');
  } finally {
    await sharp.close();
  }
}

async function main() {
  rmSync(out, {recursive: true, force: true});
  mkdirSync(out, {recursive: true});
  const port = await freePort();
  const server = spawn('python3', [join(repo, 'packaging/web/serve.py'), join(buildDir, 'site'), String(port)],
                       {stdio: 'ignore'});
  const origin = `http://127.0.0.1:${port}`;
  const began = Date.now();
  try {
    await untilAnswers(`${origin}/index.html`, 10000);
    for (const [engine, run] of [['chromium', inChromium], ['webkit', inWebKit]])
      await run(origin).catch((e) => report(engine, 'browser', 'FAIL', String(e.message || e).split('\n')[0]));
  } finally {
    server.kill();
  }
  const count = (s) => results.filter((r) => r.status === s).length;
  writeFileSync(join(out, 'results.json'), `${JSON.stringify({seconds: (Date.now() - began) / 1000, checks: results}, null, 2)}\n`);
  console.log(`browser check: ${count('PASS')} passed, ${count('FAIL')} failed, ${count('SKIP')} skipped ` +
              `in ${Math.round((Date.now() - began) / 1000)} s; screenshots and results.json in ${out}`);
  return count('FAIL') ? 1 : 0;
}

process.exitCode = await main();
