// The web build in real browsers: serves BUILD_DIR/site on 127.0.0.1, drives it in headless
// Chromium and in WebKit as a pupil would, and measures the download, the start-up, the idle page
// and the lessons' timing. One line per check; screenshots and results.json go to
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

const LIMITS = {gzip: 4.5e6, brotli: 3.5e6, coldMs: 1500, warmMs: 500, idleShare: 0.01, stepMs: 20, promptShare: 0.01};
// Window pixels of the menu's buttons and of the simulator's panel (its frame is at 440, 40).
const MENU = {dekikata: [128, 244], zensen: [368, 244], yama: [128, 300], simulator: [368, 300], quit: [560, 300]};
const PANEL = {altitudeUp: [604, 180], altitudeReadout: [448, 184, 129, 41], back: [584, 336]};
const DRAWING = [2, 2, 436, 400];  // the drawing area left of the panel
// From the step tables, as the desktop's lesson_timing computes them: when the first captions are
// due and when the final prompt comes, in ms after the start; each caption's region lies in its text.
const LESSONS = {
  dekikata: {scene: 1, button: MENU.dekikata, lastStep: 54, promptMs: 67900, captions: [
    {text: 'おひさま、ぽかぽか', dueMs: 1000, rect: [200, 56, 90, 18]},
    {text: 'とっても良い天気', dueMs: 1500, rect: [200, 95, 90, 18]}]},
  yama: {scene: 2, button: MENU.yama, lastStep: 24, promptMs: 41640},
  zensen: {scene: 3, button: MENU.zensen, lastStep: 60, promptMs: 66600, captions: [
    {text: '冷たい空気の中に', dueMs: 200, rect: [280, 42, 100, 18]}]},
};
// Regions of the finished title in the reference frame and the share of pixels that must agree:
// the heading comes out pixel for pixel from the same face, the 16 px lines are compared as ink.
const REFERENCE = readFileSync(join(repo, 'tests/golden/TownTitleFinished.png')).toString('base64');
const REFERENCE_REGIONS = [
  {name: 'sky and heading ペルモラ', rect: [0, 0, 640, 86], atLeast: 1},
  {name: 'sky and clouds', rect: [0, 194, 640, 136], atLeast: 1},
  {name: 'town', rect: [0, 330, 640, 70], atLeast: 1},
  {name: 'text box (ink)', rect: [73, 88, 490, 106], atLeast: 0.97, ink: true},
];
const VIEWS = {'1366x768': {width: 1366, height: 768, ratio: 1, scale: 1},
               '1180x820-ratio2': {width: 1180, height: 820, ratio: 2, scale: 1.5}};

const results = [];
const versions = {};
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
  } catch (e) {
    report(engine, name, 'FAIL', String(e.message || e).split('\n')[0]);
  }
}

// The limits are set for headless Chromium; WebKit's figures are compared with them, not held to them.
const againstLimit = (engine, within, limit) => (engine === 'chromium' ? [within, `limit ${limit}`]
  : [true, `Chromium's limit ${limit}: ${within ? 'within' : 'OVER'}; measured only`]);

// ---- the program on the page, the same in both engines ----
async function until(tab, condition, arg, timeoutMs, what) {
  const value = await tab.call('until', {condition: String(condition), arg, timeoutMs});
  if (!value && what) throw new Error(`${what} within ${ms(timeoutMs)}`);
  return value;
}

async function press(tab, how, [x, y]) {
  const box = await tab.call('programBox');
  await tab[how](box.left + x * box.scale, box.top + y * box.scale);
}
const pressElement = async (tab, selector) => {
  const {x, y} = await tab.call('element', selector);
  await tab.click(x, y);
};
const ticksSoFar = async (tab) => (await tab.call('recorded')).ticks.length;
const shot = (tab, engine, name) => tab.screenshot(join(out, `${engine}-${name}.png`));

async function start(tab, url) {
  await (url ? tab.goto(url) : tab.reload());
  const at = await until(tab, () => window.perumoraPageState.firstFrameAt, null, 20000);
  if (at) return at;
  const [status, ticks] = [await tab.call('element', '#status'), await ticksSoFar(tab)];
  throw new Error(`no first frame within 20 s (status ${status.hidden ? 'hidden' : 'shown'}: 「${status.text}」; ${ticks} ticks)`);
}

// The first tick of a scene's step (or its last), from the tick numbered `since` on; drawn.
async function tick(tab, scene, step, {timeoutMs = 15000, since = 0} = {}) {
  const found = await until(tab, ([scene, step, since]) => perumoraPage.ticks.slice(since).find((t) => t.scene === scene &&
    (step === 'last' ? !t.running : t.step === step)), [scene, step, since], timeoutMs, `scene ${scene} reached no step ${step}`);
  await tab.call('afterFrames', 2);
  return found;
}

// The lesson's ticks, and the pointer's release that started it (its handler starts the timer).
async function lessonTicks(tab, lesson) {
  const {pointerUps, ticks: all, ...rest} = await tab.call('recorded');
  const ticks = all.filter((t) => t.scene === lesson.scene);
  if (!ticks.length) throw new Error('no lesson started');
  return {ticks, start: pointerUps.filter((p) => p.at <= ticks[0].at).at(-1), ...rest};
}

// Its first captions in the live region (from 20 ms early to 40 ms late: a late tick) and on the
// canvas (to 100 ms late: a late tick, the next frames and the watcher's poll).
async function startLesson(engine, tab, lesson, how) {
  await check(engine, `lesson started by a ${how}: first captions at their times`, async () => {
    await tick(tab, 0, 10);
    await tab.call('watchRegions', lesson.captions.map(({text, rect}) => ({name: text, rect})));
    await press(tab, how, lesson.button);
    const last = lesson.captions.at(-1);
    await until(tab, (text) => perumoraCheck.narration.some((n) => n.text.includes(text)), last.text, last.dueMs + 3000,
                `no caption 「${last.text}」`);
    await tab.call('afterFrames', 3);
    const {start, narration, changes} = await lessonTicks(tab, lesson);
    await tab.call('watchRegions', []);
    const figures = lesson.captions.map(({text, dueMs}) => {
      const said = narration.find((n) => n.at > start.at && n.text.includes(text))?.at - start.at - dueMs;
      const drawn = changes[text].find((t) => t > start.at + 100) - start.at - dueMs;
      return {ok: said >= -20 && said <= 40 && drawn >= -20 && drawn <= 100,
              text: `「${text}」 due ${ms(dueMs)}: live region ${signed(said)} ms, pixels ${signed(drawn)} ms`};
    });
    const by = how === 'tap' ? ` (${tab.touchBy})` : '';
    return [figures.every((f) => f.ok), `${start.type} pointer${by}; ${figures.map((f) => f.text).join('; ')}`];
  });
}

async function pauseHoldsTheCanvas(engine, tab) {
  await check(engine, 'toolbar 一時停止 holds the canvas, 再開 moves it again', async () => {
    const buttonSays = (text) => until(tab, (text) => document.getElementById('pause').textContent === text, text, 2000);
    await tick(tab, 1, 4);
    await pressElement(tab, '#pause');
    const paused = await buttonSays('再開');
    await tab.call('afterFrames', 2);
    const [digest, ticks] = [await tab.call('regionDigest', DRAWING), await ticksSoFar(tab)];
    await delay(1500);  // the program's own timing: unpaused, a step would come within 400 ms
    const still = await tab.call('regionDigest', DRAWING) === digest && await ticksSoFar(tab) === ticks;
    await pressElement(tab, '#pause');
    const resumed = await buttonSays('一時停止');
    const moved = await until(tab, (n) => perumoraPage.ticks.length > n, ticks, 3000);
    await tab.call('afterFrames', 2);
    const changed = moved && await tab.call('regionDigest', DRAWING) !== digest;
    return [Boolean(paused && still && resumed && changed), `text ${paused ? '' : 'NOT '}flipped to 再開 and ${
      resumed ? '' : 'NOT '}back; held 1.5 s ${still ? 'with no tick and no pixel changed' : 'but it MOVED'}; after 再開 ${
      changed ? 'the next step came and the canvas changed' : 'it did NOT move'}`];
  });
}

async function simulatorAltitude(engine, tab) {
  await check(engine, 'simulator: ↑ of 高度 changes the read-out and the parcel', async () => {
    await start(tab);
    await tick(tab, 0, 10);
    await press(tab, 'click', MENU.simulator);
    await tick(tab, 4, 'last', {timeoutMs: 12000});  // the instructions take 7.3 s
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
    return until(tab, () => perumoraProbes.dialogButtons()?.length === 2 && perumoraProbes.dialogButtons(), null, 3000,
                 'no question with two buttons');
  };
  await check(engine, 'quit question answered いいえ (clicked): the program goes on', async () => {
    const since = await ticksSoFar(tab);
    await press(tab, 'click', PANEL.back);
    await tick(tab, 0, 10, {since, timeoutMs: 5000});  // もどる plays the title again, quickly
    const [, no] = await ask();
    await shot(tab, engine, 'quit-question');
    await press(tab, 'click', [no.x, no.y]);
    const closed = await until(tab, () => perumoraProbes.windowCanvases().length === 1, null, 3000);
    const going = closed && (await tab.call('element', '#ended')).hidden && await ask();
    return [Boolean(going), `いいえ at window (${no.x}, ${no.y}): ${going ? 'question closed, no end page, 終了 asks again'
      : closed ? 'the end page came' : 'the question STAYED'}`];
  });
  await check(engine, 'quit question answered はい (key y): the end page, then もう一度はじめる', async () => {
    await tab.key('y');
    const ended = await until(tab, () => !document.getElementById('ended').hidden && document.getElementById('ended').innerText,
                              null, 3000, 'no end page');
    await shot(tab, engine, 'ended');
    const restart = await tab.call('element', '#restart');
    await tab.clickToLoad(restart.x, restart.y);
    const again = await until(tab, () => window.perumoraPageState?.firstFrameAt, null, 20000);
    return [ended.includes('ペルモラを終了しました') && restart.text === 'もう一度はじめる' && Boolean(again),
            `「${ended.replace(/\s+/g, ' ').trim()}」; 「${restart.text}」 ${again ? 'started the program again' : 'did NOT restart it'}`];
  });
}

async function fitsCrisply(engine, tab, view, url) {
  await check(engine, `page at ${view}`, async () => {
    if (url) await start(tab, url).then(() => tick(tab, 0, 10));
    const {width, height, ratio, scale} = VIEWS[view];
    const box = await tab.call('programBox');
    const whole = [box.scale * box.ratio, box.left * box.ratio, box.top * box.ratio].every(Number.isInteger);
    await shot(tab, engine, `page-${view}`);
    return [box.width === width && box.height === height && box.ratio === ratio && box.scale === scale && whole,
            `viewport ${box.width} × ${box.height}, ratio ${box.ratio}, scale ${box.scale} = ${box.scale * box.ratio} device px ` +
            `per pixel at (${box.left}, ${box.top})${whole ? '' : ', NOT on whole device pixels'}`];
  });
}

async function idle(engine, tab) {
  await check(engine, 'idle at the menu over 10 s', async () => {
    const [busy, frames, t] = [await tab.busySeconds(), (await tab.call('recorded')).animationFrames, Date.now()];
    await delay(10000);  // the measurement's own span
    const share = (await tab.busySeconds() - busy) / ((Date.now() - t) / 1000);
    const loops = (await tab.call('recorded')).animationFrames - frames;
    const [ok, limit] = againstLimit(engine, share <= LIMITS.idleShare, '1 %');
    return [ok && loops < 10, `${(share * 100).toFixed(2)} % of one core ${engine === 'chromium'
      ? "(the page's main thread, TaskDuration)" : "(the web processes' CPU time)"} (${limit}); ${loops} animation frames`];
  });
}

// The short journey, in either engine: title, menu, a lesson by click with pause, a second visit,
// a lesson by tap, the simulator, the quit question.
async function journey(engine, tab, origin, chromium = {}) {
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
    const {b} = await tab.call('compareWithReference', {png: REFERENCE, regions: [{name: 'b', rect: [14, 222, 225, 41]}]});
    return [Math.abs(after - 5000) <= 50 && b < 0.5, `menu at ${ms(after)} of the title by its heading (design 5000 ms), ${
      ms(menu.at - (await tab.call('programBox')).firstFrameAt)} after the first frame; ${b < 0.5 ? '' : 'NO '}buttons drawn`];
  });
  await fitsCrisply(engine, tab, '1366x768');
  const worker = await until(tab, () => navigator.serviceWorker?.controller?.state, null, 20000);
  await chromium.download?.();
  await idle(engine, tab);
  await startLesson(engine, tab, LESSONS.dekikata, 'click');
  await shot(tab, engine, 'lesson');
  await chromium.liveRegion?.();
  await pauseHoldsTheCanvas(engine, tab);
  let warm;
  await check(engine, 'second visit, served by the service worker', async () => {
    if (!worker) return [engine === 'chromium' ? false : null, 'no service worker took control of the page'];
    await tab.offline?.(true);
    warm = await start(tab);
    const [ok, limit] = againstLimit(engine, warm <= LIMITS.warmMs, ms(LIMITS.warmMs));
    return [ok, `first frame ${ms(warm)} after navigation (${limit})${tab.offline ? ', the network cut off' : ''}`];
  });
  if (tab.offline) {
    report(engine, 'reload with the network cut off starts the program', warm ? 'PASS' : 'FAIL',
           warm ? `first frame at ${ms(warm)}, every file from the service worker` : 'it did not start');
    await tab.offline(false);
  }
  await startLesson(engine, tab, LESSONS.zensen, 'tap');
  await simulatorAltitude(engine, tab);
  await quitQuestion(engine, tab);
}

// ---- Chromium alone: the download, the live region, the lessons' timing ----
async function download(tab, encoding, url) {
  await check('chromium', `download of a first visit, ${encoding}`, async () => {
    if (url) await start(tab, url);
    await until(tab, () => navigator.serviceWorker?.controller, null, 20000, 'the service worker took no control');
    const {page, worker, requests, wasm} = await tab.downloaded();
    const mb = (bytes) => `${(bytes / 1e6).toFixed(3)} MB`;
    return [page + worker <= LIMITS[encoding] && wasm.every((w) => w.endsWith(encoding === 'brotli' ? 'br' : 'gzip')),
            `${mb(page + worker)} = page ${mb(page)} + its service worker ${mb(worker)} in ${requests} responses (limit ${
              mb(LIMITS[encoding])}); .wasm: ${wasm.join(', ')}`];
  });
}

// Every tick within 20 ms of its due time (the first tick, then each interval in force after it),
// and the final prompt within 1 % of its design time from the click.
async function lessonTiming(tab, origin, name) {
  const lesson = LESSONS[name];
  await check('chromium', `timing of ${name}, every step and the final prompt`, async () => {
    await start(tab, `${origin}/?ticks`);
    await tick(tab, 0, 'last');
    await press(tab, 'click', lesson.button);
    await tick(tab, lesson.scene, 'last', {timeoutMs: lesson.promptMs + 15000});
    const {ticks, start: click} = await lessonTicks(tab, lesson);
    let due = ticks[0].at, worst = 0;
    ticks.forEach((t, k) => {
      if (k) due += ticks[k - 1].interval;
      if (Math.abs(t.at - due) > Math.abs(worst)) worst = t.at - due;
    });
    const prompt = ticks.at(-1);
    const error = (prompt.at - click.at) / lesson.promptMs - 1;
    return [Math.abs(worst) <= LIMITS.stepMs && Math.abs(error) <= LIMITS.promptShare && prompt.step === lesson.lastStep,
            `${ticks.length} steps, worst ${signed(worst)} ms from due (limit ±20 ms); final prompt (step ${prompt.step}) at ${
              ms(prompt.at - click.at)}, design ${ms(lesson.promptMs)}, error ${signed(error * 100)} % (limit ±1 %)`];
  });
  await tab.close();
}

async function inChromium(origin) {
  const chromium = await launchChromium(playwrightDir);
  versions.chromium = chromium.version;
  try {
    const tab = await chromium.open({touch: true});
    await journey('chromium', tab, origin, {
      download: () => download(tab, 'brotli'),
      liveRegion: () => check('chromium', 'live region reads a caption', async () => {
        const {live, text} = await tab.liveRegion('#narration');
        return [live === 'polite' && text.includes('とっても良い天気'), `aria-live ${live}: 「${text}」`];
      }),
    });
    await tab.close();
    const gzip = await chromium.open({headers: {'Accept-Encoding': 'gzip, deflate'}});
    await download(gzip, 'gzip', `${origin}/`);
    await gzip.close();
    const sharp = await chromium.open(VIEWS['1180x820-ratio2']);
    await fitsCrisply('chromium', sharp, '1180x820-ratio2', `${origin}/?ticks`);
    await sharp.close();
    // Side by side, each in a renderer of its own: a lesson sleeps between its steps.
    const tabs = await Promise.all(Object.keys(LESSONS).map(() => chromium.open()));
    await Promise.all(Object.keys(LESSONS).map((name, i) => lessonTiming(tabs[i], origin, name)));
  } finally {
    await chromium.close();
  }
}

async function inWebKit(origin) {
  for (const [view, body] of [['1366x768', (tab) => journey('webkit', tab, origin)],
                              ['1180x820-ratio2', (tab) => fitsCrisply('webkit', tab, '1180x820-ratio2', `${origin}/?ticks`)]]) {
    const webkit = await launchWebKit({ratio: VIEWS[view].ratio, profileParent: out});
    versions.webkit = `WebKitGTK ${webkit.version} (MiniBrowser)`;
    try {
      await webkit.tab.resize(VIEWS[view].width, VIEWS[view].height);
      await body(webkit.tab);
    } finally {
      await webkit.close();
    }
  }
}

async function main() {
  rmSync(out, {recursive: true, force: true});
  mkdirSync(out, {recursive: true});
  const port = await freePort();
  const server = spawn('python3', [join(repo, 'packaging/web/serve.py'), join(buildDir, 'site'), String(port)], {stdio: 'ignore'});
  const origin = `http://127.0.0.1:${port}`;
  const began = Date.now();
  try {
    await untilAnswers(`${origin}/index.html`, 10000);
    for (const [engine, run] of [['chromium', inChromium], ['webkit', inWebKit]])
      await run(origin).catch((e) => report(engine, 'browser', 'FAIL', String(e.message || e).split('\n')[0]));
  } finally {
    server.kill();
  }
  const seconds = Math.round((Date.now() - began) / 1000);
  const count = (status) => results.filter((r) => r.status === status).length;
  writeFileSync(join(out, 'results.json'), `${JSON.stringify({seconds, versions, checks: results}, null, 2)}\n`);
  console.log(`browsers: Chromium ${versions.chromium}, ${versions.webkit}; screenshots and results.json in ${out}`);
  console.log(`browser check: ${count('PASS')} passed, ${count('FAIL')} failed, ${count('SKIP')} skipped in ${seconds} s`);
  return count('FAIL') ? 1 : 0;
}

process.exitCode = await main();
