// WebKitGTK's MiniBrowser under Xvfb, driven by WebKitWebDriver over W3C WebDriver: a fresh
// browser, display and profile per launch, so the first visit is a cold one.
import {spawn} from 'node:child_process';
import {mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';
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
  const stop = async () => {
    await Promise.all([driver, xvfb].map((child) => new Promise((resolve) => {
      if (child.exitCode !== null || child.signalCode !== null) resolve();
      else child.once('exit', resolve).kill();
    })));
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
    return {engine: 'webkit', version: capabilities.browserVersion, tab,
            close: () => send('DELETE', tab.session).catch(() => {}).finally(stop)};
  } catch (e) {
    await stop();
    throw e;
  }
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
    tap: (x, y) => send('POST', `${session}/actions`, {actions: pointer('touch', x, y)}),
    key: (key) => send('POST', `${session}/actions`, {actions: [{type: 'key', id: 'keys', actions: [
      {type: 'keyDown', value: key}, {type: 'keyUp', value: key}]}]}),
    async screenshot(path) {
      writeFileSync(path, Buffer.from(await send('GET', `${session}/screenshot`), 'base64'));
    },
    // The outer window is larger than the page by the browser's own chrome.
    async resize(width, height) {
      let [w, h] = [width, height];
      for (let attempt = 0; attempt < 3; attempt++) {
        await send('POST', `${session}/window/rect`, {width: w, height: h});
        const inner = await run('[innerWidth, innerHeight]');
        if (inner[0] === width && inner[1] === height) return;
        [w, h] = [w + width - inner[0], h + height - inner[1]];
      }
    },
    // CPU time (s) of the web processes this driver's browser started, from the kernel's accounting.
    busySeconds() {
      const stats = readdirSync('/proc').filter((d) => /^\d+$/.test(d)).map((pid) => {
        try {
          const fields = readFileSync(`/proc/${pid}/stat`, 'utf8').replace(/^.*\) /, '').split(' ');
          return {pid: Number(pid), ppid: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12]),
                  web: readFileSync(`/proc/${pid}/comm`, 'utf8').startsWith('WebKitWebProces')};
        } catch (e) {
          return null;
        }
      }).filter(Boolean);
      const parent = new Map(stats.map((s) => [s.pid, s.ppid]));
      const ours = (pid) => { for (; pid > 1; pid = parent.get(pid)) if (pid === driverPid) return true; return false; };
      return stats.filter((s) => s.web && ours(s.pid)).reduce((sum, s) => sum + s.ticks, 0) / 100;
    },
  };
}
