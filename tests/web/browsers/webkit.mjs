// WebKitGTK's MiniBrowser under Xvfb, driven by WebKitWebDriver over W3C WebDriver: a fresh
// browser, display and profile per launch, so the first visit is a cold one.
import {spawn} from 'node:child_process';
import {existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';
import {setTimeout as delay} from 'node:timers/promises';
import {freePort, untilAnswers} from './local.mjs';
import {probeCall} from './probes.mjs';

const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// Large enough for a 1180 × 820 page at twice the pixels, with the browser's own chrome.
async function startXvfb() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '2600x1900x24', '-nolisten', 'tcp'],
                     {stdio: ['ignore', 'ignore', 'ignore', 'pipe']});
  const display = await new Promise((resolve, reject) => {
    xvfb.stdio[3].once('data', (data) => resolve(`:${String(data).trim()}`));
    xvfb.once('exit', () => reject(new Error('Xvfb did not start')));
  });
  return {xvfb, display};
}

export async function launchWebKit({ratio = 1, profileParent}) {
  const {xvfb, display} = await startXvfb();
  const port = await freePort();
  const profile = mkdtempSync(join(profileParent, 'webkit-profile-'));
  const env = {...process.env, DISPLAY: display, GDK_SCALE: String(ratio), HOME: profile,
               XDG_CACHE_HOME: join(profile, 'cache'), XDG_DATA_HOME: join(profile, 'data')};
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], {env, stdio: 'ignore'});
  // The browser leaves with its session; its helpers may outlive the driver for a moment, and the
  // profile goes once they have.
  const stop = async (family = descendants(driver.pid).map((p) => p.pid)) => {
    await Promise.all([driver, xvfb].map((child) => new Promise((resolve) => {
      if (child.exitCode !== null || child.signalCode !== null) resolve();
      else child.once('exit', resolve).kill();
    })));
    for (const end = Date.now() + 5000; family.some((pid) => existsSync(`/proc/${pid}`)) && Date.now() < end;) await delay(50);
    rmSync(profile, {recursive: true, force: true, maxRetries: 5});
  };
  try {
    const base = `http://127.0.0.1:${port}`;
    await untilAnswers(`${base}/status`, 10000);
    const send = webdriver(base);
    const {sessionId, capabilities} = await send('POST', '/session', {capabilities: {alwaysMatch: {
      'webkitgtk:browserOptions': {binary: MINIBROWSER, args: ['--automation']}}}});
    const tab = webkitTab(send, `/session/${sessionId}`, driver.pid);
    await send('POST', `${tab.session}/timeouts`, {script: 150000});
    return {version: capabilities.browserVersion, tab,
            close: () => {
              const family = descendants(driver.pid).map((p) => p.pid);
              return send('DELETE', tab.session).catch(() => {}).finally(() => stop(family));
            }};
  } catch (e) {
    await stop();
    throw e;
  }
}

// The processes below `ancestor`, from /proc.
function descendants(ancestor) {
  const processes = readdirSync('/proc').filter((d) => /^\d+$/.test(d)).flatMap((pid) => {
    try {
      const [, name, rest] = readFileSync(`/proc/${pid}/stat`, 'utf8').match(/\((.*)\) (.*)/s);
      const f = rest.split(' ');
      return [{pid: Number(pid), ppid: Number(f[1]), name, ticks: Number(f[11]) + Number(f[12])}];
    } catch (e) {
      return [];  // ended meanwhile
    }
  });
  const parent = new Map(processes.map((p) => [p.pid, p.ppid]));
  const below = (pid) => parent.get(pid) === ancestor || (parent.has(pid) && pid > 1 && below(parent.get(pid)));
  return processes.filter((p) => below(p.pid));
}

function webdriver(base) {
  return async (method, path, body) => {
    const response = await fetch(base + path, {method, headers: {'content-type': 'application/json'},
                                               body: body && JSON.stringify(body)});
    const {value} = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${path}: ${value.error}: ${value.message}`);
    return value;
  };
}

function pointer(type, x, y) {
  return [{type: 'pointer', id: type, parameters: {pointerType: type}, actions: [
    {type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport'},
    {type: 'pointerDown', button: 0}, {type: 'pointerUp', button: 0}]}];
}

function webkitTab(send, session, driverPid) {
  const run = async (expression) => {
    const script = `const done = arguments[arguments.length - 1];
      Promise.resolve().then(() => ${expression}).then(done, (e) => done({probeError: String(e && e.stack || e)}));`;
    const value = await send('POST', `${session}/execute/async`, {script, args: []});
    if (value && value.probeError) throw new Error(value.probeError);
    return value;
  };
  return {
    session,
    async goto(url) {
      await send('POST', `${session}/url`, {url});
      await run(probeCall('installRecorders'));
    },
    async reload() {
      await send('POST', `${session}/refresh`, {});
      await run(probeCall('installRecorders'));
    },
    call: (name, arg) => run(probeCall(name, arg)),
    click: (x, y) => send('POST', `${session}/actions`, {actions: pointer('mouse', x, y)}),
    // WebDriver's touch where it arrives as touch; WebKitGTK's driver has delivered it as a mouse,
    // and then the tap is the page's own pointer events. A touch on the empty page tells which.
    async tap(x, y) {
      if (!this.touchBy) {
        await send('POST', `${session}/actions`, {actions: pointer('touch', 4, 4)});
        const seen = (await run(probeCall('recorded'))).pointerUps.at(-1)?.type;
        this.touchBy = seen === 'touch' ? 'WebDriver touch actions'
          : `PointerEvents from script: WebDriver touch actions arrive as ${seen || 'nothing'}`;
      }
      if (this.touchBy.startsWith('WebDriver')) await send('POST', `${session}/actions`, {actions: pointer('touch', x, y)});
      else await run(probeCall('tapAt', {x, y}));
    },
    clickToLoad(x, y) {
      return this.click(x, y);  // the driver's next command waits for the new page
    },
    key: (key) => send('POST', `${session}/actions`, {actions: [{type: 'key', id: 'keys', actions: [
      {type: 'keyDown', value: key}, {type: 'keyUp', value: key}]}]}),
    async screenshot(path) {
      writeFileSync(path, Buffer.from(await send('GET', `${session}/screenshot`), 'base64'));
    },
    // The outer window is larger than the page by the browser's own chrome.
    async resize(width, height) {
      await send('POST', `${session}/window/rect`, {width, height});
      const [w, h] = await run('[innerWidth, innerHeight]');
      await send('POST', `${session}/window/rect`, {width: 2 * width - w, height: 2 * height - h});
    },
    // CPU time (s) of the web processes this driver's browser started, from the kernel's accounting.
    busySeconds: () => descendants(driverPid).filter((p) => p.name.startsWith('WebKitWebProces'))
      .reduce((sum, p) => sum + p.ticks, 0) / 100,  // in USER_HZ
  };
}
