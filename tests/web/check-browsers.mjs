// The web build as a pupil uses it in headless Chromium and in WebKit, with its limits: one line per check, as results.json too.
import {spawn} from 'node:child_process';
import {mkdirSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {join, resolve} from 'node:path';
import {setTimeout as delay} from 'node:timers/promises';
import {launchChromium} from './browsers/chromium.mjs';
import {freePort, launchWebKit, untilAnswers} from './browsers/webkit.mjs';

const [buildDir, playwrightDir] = process.argv.slice(2).map((p) => resolve(p));
const [repo, out] = [resolve(process.argv[1], '../../..'), join(buildDir, 'browser-check')];  // from tests/web/check-browsers.mjs

const LIMITS = {gzip: 4.5e6, brotli: 3.5e6, coldMs: 1500, warmMs: 500, idleShare: 0.01, stepMs: 20, promptShare: 0.01};
const MENU = {dekikata: [128, 244], zensen: [368, 244], yama: [128, 300], simulator: [368, 300], quit: [560, 300]};
const PANEL = {altitudeUp: [604, 180], altitudeReadout: [448, 184, 129, 41]};
const [QUESTION_NO, DRAWING] = [[354, 174], [2, 2, 436, 400]];
// From the step tables, as the desktop's lesson_timing computes them: when the first captions are
// due and when the final prompt comes, in ms after the start; the last caption's text lies in rect.
const LESSONS = {
  dekikata: {scene: 1, button: MENU.dekikata, lastStep: 54, promptMs: 67900, rect: [200, 95, 90, 18],
             captions: [['おひさま、ぽかぽか', 1000], ['とっても良い天気', 1500]]},
  yama: {scene: 2, button: MENU.yama, lastStep: 24, promptMs: 41640},
  zensen: {scene: 3, button: MENU.zensen, lastStep: 60, promptMs: 66600, rect: [280, 42, 100, 18], captions: [['冷たい空気の中に', 200]]},
};
// The heading comes out pixel for pixel from the same face; the 16 px lines are compared as ink.
const REFERENCE = readFileSync(join(repo, 'tests/golden/TownTitleFinished.png')).toString('base64');
const TITLE = [['sky and heading ペルモラ', [0, 0, 640, 86], 1], ['sky and clouds', [0, 194, 640, 136], 1],
               ['town', [0, 330, 640, 70], 1], ['text box (ink)', [73, 88, 490, 106], 0.97, true]];
const VIEWS = {'1366x768': {width: 1366, height: 768, ratio: 1, scale: 1}, '1180x820-ratio2': {width: 1180, height: 820, ratio: 2, scale: 1.5}};

const [results, versions] = [[], new Set()];
const ms = (t) => `${Math.round(t)} ms`;
const signed = (t) => `${t >= 0 ? '+' : ''}${t.toFixed(1)}`;
// A verdict from [holds, what it says] pairs: passed when all hold; what does not is marked NOT.
const facts = (...pairs) => [pairs.every(([holds]) => holds), pairs.map(([holds, what]) => (holds ? what : `NOT ${what}`)).join('; ')];

// body() gives [passed, figure]; passed null is a skip whose figure says why.
async function check(engine, name, body) {
  const [passed, figure] = await body().catch((e) => [false, String(e.message || e).split('\n')[0]]);
  const status = passed === null ? 'SKIP' : passed ? 'PASS' : 'FAIL';
  results.push({engine, check: name, status, figure});
  console.log(`${status} ${engine.padEnd(8)} ${name}: ${figure}`);
}

// The start-up limits are set for headless Chromium; WebKit's figures are compared with them, not held to them.
const startUp = (engine, at, limit) => (engine === 'chromium' ? [at <= limit, `${ms(at)} after navigation (limit ${ms(limit)})`]
  : [true, `${ms(at)} after navigation (Chromium's limit ${ms(limit)}: ${at <= limit ? 'within' : 'OVER'}; measured only)`]);

function pupil(engine, tab, origin) {
  versions.add(tab.version);
  const p = {engine, tab, call: tab.call,
    check: (name, body) => check(engine, name, body),
    until: (condition, arg, timeoutMs, what) => tab.call('until', {condition: String(condition), arg, timeoutMs, what}),
    press: (how, target) => tab.call('pagePoint', target).then(({x, y}) => tab[how](x, y)),
    shot: (name) => tab.screenshot(join(out, `${engine}-${name}.png`)),
    digest: (rect) => tab.call('regionDigest', rect),
    firstFrame: () => p.until(() => perumoraPageState.firstFrameAt, null, 20000, 'no first frame'),
    start: (path) => (path ? tab.goto(origin + path) : tab.reload()).then(p.firstFrame),
    toMenu: (path) => p.start(path).then(() => p.tick(0, 10)),
    async tick(scene, step, timeoutMs = 15000) {
      const found = await p.until(([scene, step]) => perumoraPage.ticks.find((t) => t.scene === scene &&
        (step === 'last' ? !t.running : t.step === step)), [scene, step], timeoutMs, `scene ${scene} reached no step ${step}`);
      await tab.call('afterFrames', 2);
      return found;
    },
    // The lesson's ticks, and the release of the pointer that started it: its handler starts the timer.
    async lessonTicks({scene}) {
      const {pointerUps, ticks, narration} = await tab.call('recorded');
      return {ticks: ticks.filter((t) => t.scene === scene), narration, start: pointerUps.at(-1)};
    }};
  return p;
}

// Captions in the live region from 20 ms early to 40 ms late (a late tick); the last one drawn.
const startLesson = (p, lesson, how) => p.check(`lesson started by a ${how}: first captions at their times`, async () => {
  await p.tick(0, 10);
  const [menu, [lastText, lastDueMs]] = [await p.digest(lesson.rect), lesson.captions.at(-1)];
  await p.press(how, lesson.button);
  await p.until((text) => perumoraCheck.narration.some((n) => n.text.includes(text)), lastText, lastDueMs + 3000, `no 「${lastText}」`);
  await p.call('afterFrames', 3);
  const [drawn, {start, narration}] = [await p.digest(lesson.rect) !== menu, await p.lessonTicks(lesson)];
  const late = ([text, dueMs]) => narration.find((n) => n.at > start.at && n.text.includes(text))?.at - start.at - dueMs;
  return facts([true, `${start.type} pointer${how === 'tap' ? ` (${p.tab.touchBy})` : ''}`], ...lesson.captions.map((caption) =>
    [late(caption) >= -20 && late(caption) <= 40, `「${caption[0]}」 due ${ms(caption[1])}: live region ${signed(late(caption))} ms`]),
    [drawn, 'drawn on the canvas']);
});

const pauseHoldsTheCanvas = (p) => p.check('toolbar 一時停止 holds the canvas, 再開 moves it again', async () => {
  const pressPause = (says) => p.press('click', '#pause')
    .then(() => p.until((says) => document.getElementById('pause').textContent === says, says, 2000));
  await p.tick(1, 4);
  const paused = await pressPause('再開') && await p.call('afterFrames', 2);
  const [held, ticks] = [await p.digest(DRAWING), (await p.call('recorded')).ticks.length];
  // Unpaused, the next step would come within 400 ms.
  const moved = await p.until((ticks) => perumoraPage.ticks.length > ticks, ticks, 1500) || await p.digest(DRAWING) !== held;
  const resumed = await pressPause('一時停止') && await p.until((ticks) => perumoraPage.ticks.length > ticks, ticks, 3000);
  return facts([paused, 'text flipped to 再開'], [!moved, 'held 1.5 s with no tick and no pixel changed'],
               [resumed, 'back to 一時停止, and the next step came']);
});

const simulatorAltitude = (p) => p.check('simulator: ↑ of 高度 changes the read-out', async () => {
  await p.toMenu();
  await p.press('click', MENU.simulator);
  await p.tick(4, 'last', 12000);  // the instructions take 7.3 s
  await p.shot('simulator');
  const readout = await p.digest(PANEL.altitudeReadout);
  await p.press('click', PANEL.altitudeUp);
  return facts([await p.until(([rect, was]) => perumoraProbes.regionDigest(rect) !== was, [PANEL.altitudeReadout, readout], 2000),
                 'read-out changed']);
});

async function quitQuestion(p) {
  // The question is there once its window holds pixels.
  const ask = () => p.press('click', MENU.quit).then(() => p.until(() => perumoraProbes.windowCanvases().slice(1)
    .some(({canvas}) => perumoraProbes.pixels(canvas).some(Boolean)), null, 3000, 'no question'));
  await p.check('quit question answered いいえ (clicked): the program goes on', async () => {
    await p.toMenu();
    await ask();
    await p.shot('quit-question');
    await p.press('click', QUESTION_NO);
    const closed = await p.until(() => perumoraProbes.windowCanvases().length === 1, null, 3000);
    return facts([closed, `question closed by いいえ at window (${QUESTION_NO.join(', ')})`],
                 [await p.call(() => document.getElementById('ended').hidden), 'no end page'], [closed && await ask(), '終了 asks again']);
  });
  await p.check('quit question answered はい (key y): the end page, then もう一度はじめる', async () => {
    await p.tab.key('y');
    const ended = await p.until(() => document.querySelector('#ended:not([hidden])')?.innerText, null, 3000, 'no end page');
    await p.shot('ended');
    const restart = await p.call(() => document.getElementById('restart').textContent.trim());
    await p.press('clickToLoad', '#restart');
    return facts([ended.includes('ペルモラを終了しました'), `「${ended.replace(/\s+/g, ' ').trim()}」`],
                 [restart === 'もう一度はじめる', `「${restart}」`], [await p.firstFrame().catch(() => null), 'started the program again']);
  });
}

const fitsCrisply = (p, view, path) => p.check(`page at ${view}`, async () => {
  if (path) await p.toMenu(path);
  const [want, box] = [VIEWS[view], await p.call('programBox')];
  await p.shot(`page-${view}`);
  return facts([['width', 'height', 'ratio', 'scale'].every((k) => box[k] === want[k]), `viewport ${box.width} × ${box.height}, ` +
                `ratio ${box.ratio}, scale ${box.scale} = ${box.scale * box.ratio} device px per pixel at (${box.left}, ${box.top})`],
               [[box.scale, box.left, box.top].every((v) => Number.isInteger(v * box.ratio)), 'on whole device pixels']);
});

const idle = (p) => p.check('idle at the menu over 10 s', async () => {
  if (!p.tab.busySeconds) return [null, 'WebDriver gives no performance metrics'];
  const measure = async () => [await p.tab.busySeconds(), (await p.call('recorded')).animationFrames, Date.now() / 1000];
  const before = await measure();
  await delay(10000);  // the measurement's own span
  const [busy, loops, seconds] = (await measure()).map((value, i) => value - before[i]);
  return facts([busy / seconds <= LIMITS.idleShare, `${(busy / seconds * 100).toFixed(2)} % of one core (page's main thread; limit 1 %)`],
               [loops < 10, `${loops} animation frames, no loop`]);
});

async function journey(p) {
  await p.check('first frame, cold cache', async () => startUp(p.engine, await p.start('/?ticks'), LIMITS.coldMs));
  await p.check('title drawn, as the reference frame', async () => {
    await p.tick(0, 9);
    await p.shot('title');
    const shares = await p.call('compareWithReference', {png: REFERENCE, regions: TITLE});
    return facts(...TITLE.map(([name, , atLeast]) => [shares[name] >= atLeast, `${name} ${(shares[name] * 100).toFixed(1)} % equal`]));
  });
  await p.check('menu after 5 s', async () => {
    const [menu, {narration}] = [await p.tick(0, 10), await p.call('recorded')];
    const after = menu.at - narration.find((n) => n.text === 'ペルモラ').at + 500;  // the heading is the title's first step, at 0.5 s
    return facts([Math.abs(after - 5000) <= 50, `menu at ${ms(after)} of the title by its heading (design 5000 ms)`]);
  });
  await fitsCrisply(p, '1366x768');
  const worker = await p.until(() => navigator.serviceWorker?.controller?.state, null, 20000);
  await idle(p);
  await startLesson(p, LESSONS.dekikata, 'click');
  await p.shot('lesson');
  if (p.tab.liveRegion) await p.check('live region reads a caption', () => p.tab.liveRegion('#narration').then(({live, text}) =>
    facts([live === 'polite', `aria-live ${live}`], [text.includes('とっても良い天気'), `「${text}」`])));
  await pauseHoldsTheCanvas(p);
  let warm;  // where the engine can cut the network, the second visit is made without it
  await p.check('second visit, served by the service worker', async () => {
    if (!worker) return [p.engine === 'chromium' ? false : null, 'no service worker took control of the page'];
    await p.tab.offline?.(true);
    return startUp(p.engine, warm = await p.start(), LIMITS.warmMs);
  });
  if (p.tab.offline) await p.check('reload with the network cut off starts the program', async () =>
    facts([warm, `first frame at ${ms(warm)}, every file from the service worker`])).then(() => p.tab.offline(false));
  await startLesson(p, LESSONS.zensen, 'tap');
  await simulatorAltitude(p);
  await quitQuestion(p);
}

const download = (p, encoding) => p.check(`download of a first visit, ${encoding}`, async () => {
  await p.start('/');
  await p.until(() => navigator.serviceWorker?.controller, null, 20000, 'the service worker took no control');
  const {bytes, responses} = await p.tab.downloaded();
  return facts([bytes <= LIMITS[encoding], `${(bytes / 1e6).toFixed(3)} MB in ${responses} responses of the page and its ` +
                `service worker (limit ${LIMITS[encoding] / 1e6} MB)`]);
});

// Every tick within 20 ms of its due time (the first tick, then each interval in force after it),
// and the final prompt within 1 % of its design time from the click.
const lessonTiming = (p, [name, lesson]) => p.check(`timing of ${name}, every step and the final prompt`, async () => {
  await p.start('/?ticks');
  await p.tick(0, 'last');
  await p.press('click', lesson.button);
  await p.tick(lesson.scene, 'last', lesson.promptMs + 15000);
  const {ticks, start: click} = await p.lessonTicks(lesson);
  const due = ticks.map((t, k) => ticks[0].at + ticks.slice(0, k).reduce((sum, previous) => sum + previous.interval, 0));
  const worst = ticks.map((t, k) => t.at - due[k]).reduce((a, b) => (Math.abs(b) > Math.abs(a) ? b : a), 0);
  const [prompt, error] = [ticks.at(-1), (ticks.at(-1).at - click.at) / lesson.promptMs - 1];
  return facts([Math.abs(worst) <= LIMITS.stepMs, `${ticks.length} steps, worst ${signed(worst)} ms from due (limit ±20 ms)`],
               [prompt.step === lesson.lastStep && Math.abs(error) <= LIMITS.promptShare, `final prompt (step ${prompt.step}) at ${
                 ms(prompt.at - click.at)}, design ${ms(lesson.promptMs)}, error ${signed(error * 100)} % (limit ±1 %)`]);
});

async function inEngine(engine, browser, origin) {
  const inTab = (view, body) => browser.open(view).then((tab) => body(pupil(engine, tab, origin)).finally(tab.close));
  await inTab({...VIEWS['1366x768'], touch: true}, journey);
  await inTab(VIEWS['1180x820-ratio2'], (p) => fitsCrisply(p, '1180x820-ratio2', '/?ticks'));
  if (engine !== 'chromium') return;
  await inTab({}, (p) => download(p, 'brotli'));
  await inTab({headers: {'Accept-Encoding': 'gzip, deflate'}}, (p) => download(p, 'gzip'));
  // Side by side, each in a renderer of its own: a lesson sleeps between its steps.
  await Promise.all(Object.entries(LESSONS).map((lesson) => inTab({}, (p) => lessonTiming(p, lesson))));
}

async function main() {
  rmSync(out, {recursive: true, force: true});
  mkdirSync(out, {recursive: true});
  const [port, began] = [await freePort(), Date.now()], origin = `http://127.0.0.1:${port}`;
  const server = spawn('python3', [join(repo, 'packaging/web/serve.py'), join(buildDir, 'site'), String(port)], {stdio: 'ignore'});
  server.unref();
  process.on('exit', () => server.kill());
  await untilAnswers(`${origin}/index.html`, 10000);
  for (const [engine, launch] of [['chromium', () => launchChromium(playwrightDir)], ['webkit', () => launchWebKit(out)]]) {
    await launch().then((browser) => inEngine(engine, browser, origin).finally(browser.close))
      .catch((e) => check(engine, 'browser', () => Promise.reject(e)));
  }
  const [seconds, count] = [Math.round((Date.now() - began) / 1000), (status) => results.filter((r) => r.status === status).length];
  writeFileSync(join(out, 'results.json'), `${JSON.stringify({seconds, versions: [...versions], checks: results}, null, 2)}\n`);
  console.log(`browser check in ${[...versions].join(' and ')}: ${count('PASS')} passed, ${count('FAIL')} failed, ` +
              `${count('SKIP')} skipped in ${seconds} s`);
  return count('FAIL') ? 1 : 0;
}

process.exitCode = await main();
