// WebKitGTK's MiniBrowser under Xvfb through WebKitWebDriver: a fresh browser, display and profile per tab, so a cold first visit.
import {spawn} from 'node:child_process';
import {once} from 'node:events';
import {mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {createServer} from 'node:net';
import {join} from 'node:path';
import {setTimeout as delay} from 'node:timers/promises';
import {probeCall} from './probes.mjs';

export async function freePort() {
  const server = createServer().listen(0, '127.0.0.1');
  await once(server, 'listening');
  const {port} = server.address();
  server.close();  // before the port's new owner has started
  return port;
}

export async function untilAnswers(url, timeoutMs) {
  for (const end = Date.now() + timeoutMs; Date.now() < end; await delay(50))
    if (await fetch(url).then((r) => r.ok, () => false)) return;
  throw new Error(`${url} did not answer within ${timeoutMs} ms`);
}

export const launchWebKit = async (profileParent) => ({open: (view) => openWebKit({...view, profileParent}), close() {}});
const ended = (child) => (child.exitCode !== null || child.signalCode !== null ? null : (child.kill(), once(child, 'exit')));

// The screen holds a 1180 × 820 page at twice the pixels, with the browser's own chrome.
async function openWebKit({width, height, ratio, profileParent}) {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '2600x1900x24'], {stdio: ['ignore', 'ignore', 'ignore', 'pipe']});
  const [display] = await Promise.race([once(xvfb.stdio[3], 'data'),
    once(xvfb, 'exit').then(() => { throw new Error('Xvfb did not start'); })]);
  const [port, profile] = [await freePort(), mkdtempSync(join(profileParent, 'webkit-profile-'))];
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], {stdio: 'ignore', env: {...process.env, DISPLAY: `:${String(display).trim()}`,
    GDK_SCALE: String(ratio), MESA_SHADER_CACHE_DISABLE: 'true', HOME: profile, XDG_CACHE_HOME: join(profile, 'cache'), XDG_DATA_HOME: join(profile, 'data')}});
  // The browser's helpers may still write to the profile for a moment after the driver has gone.
  const stop = () => Promise.all([driver, xvfb].map(ended)).then(() => rmSync(profile, {recursive: true, force: true, maxRetries: 10}));
  try {
    await untilAnswers(`http://127.0.0.1:${port}/status`, 10000);
    const send = webdriver(`http://127.0.0.1:${port}`);
    const {sessionId, capabilities} = await send('POST', '/session', {capabilities: {alwaysMatch: {'webkitgtk:browserOptions':
      {binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', args: ['--automation']}}}});
    const [session, tab] = [`/session/${sessionId}`, webkitTab(send, `/session/${sessionId}`)];
    await send('POST', `${session}/timeouts`, {script: 150000});
    await tab.view({width, height});
    return Object.assign(tab, {version: `WebKitGTK ${capabilities.browserVersion} (MiniBrowser)`,
                               close: () => send('DELETE', session).catch(() => {}).finally(stop)});
  } catch (e) {
    await stop();
    throw e;
  }
}

const webdriver = (base) => async (method, path, body) => {
  const response = await fetch(base + path, {method, headers: {'content-type': 'application/json'}, body: body && JSON.stringify(body)});
  const {value} = await response.json();
  if (!response.ok) throw new Error(`WebDriver ${path}: ${value.error}: ${value.message}`);
  return value;
};

function webkitTab(send, session) {
  const act = (actions) => send('POST', `${session}/actions`, {actions});
  const mouse = (x, y) => act([{type: 'pointer', id: 'mouse', parameters: {pointerType: 'mouse'}, actions: [{type: 'pointerMove',
    x: Math.round(x), y: Math.round(y), origin: 'viewport'}, {type: 'pointerDown', button: 0}, {type: 'pointerUp', button: 0}]}]);
  // The message first: WebKit's stack leaves it out.
  const call = (probe, arg) => send('POST', `${session}/execute/async`, {args: [], script: `const done = arguments[0];
    Promise.resolve().then(() => ${probeCall(probe, arg)}).then(done, (e) => done({probeError: String(e) + '\\n' + (e.stack || '')}));`})
    .then((value) => { if (value?.probeError) throw new Error(value.probeError); return value; });
  const load = (path, body) => send('POST', `${session}/${path}`, body).then(() => call('installRecorders'));
  return {
    call, click: mouse, tap: (x, y) => call('tapAt', {x, y}),
    // The outer window is larger than the page by the browser's own chrome; the ratio is the display's.
    async view({width, height}) {
      await send('POST', `${session}/window/rect`, {width, height});
      const [w, h] = await call(() => [innerWidth, innerHeight]);
      await send('POST', `${session}/window/rect`, {width: 2 * width - w, height: 2 * height - h});
    },
    clickToLoad: mouse,  // the driver's next command waits for the new page
    touchBy: 'PointerEvents from script: WebKitGTK\'s driver delivers WebDriver touch actions as a mouse',
    goto: (url) => load('url', {url}), reload: () => load('refresh', {}),
    key: (key) => act([{type: 'key', id: 'keys', actions: [{type: 'keyDown', value: key}, {type: 'keyUp', value: key}]}]),
    screenshot: async (path) => writeFileSync(path, Buffer.from(await send('GET', `${session}/screenshot`), 'base64')),
  };
}
