// Debian's Chromium, headless, through playwright-core: each tab in a context of its own, with an empty cache and no service worker.
import {writeFileSync} from 'node:fs';
import {createRequire} from 'node:module';
import {probeCall} from './probes.mjs';

export async function launchChromium(playwrightDir) {
  const {chromium} = createRequire(import.meta.url)(playwrightDir);
  const browser = await chromium.launch({executablePath: '/usr/bin/chromium', args: ['--disable-gpu', '--disable-quic']});
  return {close: () => browser.close(),
    async open({width = 1366, height = 768, ratio = 1, touch = false, headers} = {}) {
      const context = await browser.newContext({viewport: {width, height}, deviceScaleFactor: ratio, hasTouch: touch, extraHTTPHeaders: headers});
      await context.addInitScript(probeCall('installRecorders'));
      const [responses, page] = [[], await context.newPage()];  // the page's responses and its service worker's
      context.on('response', (response) => responses.push(response));
      return chromiumTab(context, page, responses, await context.newCDPSession(page), `Chromium ${browser.version()}`);
    }};
}

const chromiumTab = (context, page, responses, cdp, version) => ({
  version, touchBy: 'touch events through the DevTools protocol',
  // Another size and ratio, as the browser's own zoom gives them.
  changesRatio: true,
  view: ({width, height, ratio}) => cdp.send('Emulation.setDeviceMetricsOverride', {width, height, deviceScaleFactor: ratio, mobile: false}),
  goto: (url) => page.goto(url),
  reload: () => page.reload(),
  call: (probe, arg) => page.evaluate(probeCall(probe, arg)),
  click: (x, y) => page.mouse.click(x, y),
  clickToLoad: (x, y) => Promise.all([page.waitForEvent('load'), page.mouse.click(x, y)]),
  tap: (x, y) => page.touchscreen.tap(x, y),
  // A finger put down and then taken by the system, as a swipe from the screen's edge does.
  cancelledTouch: (x, y) => cdp.send('Input.dispatchTouchEvent', {type: 'touchStart', touchPoints: [{x, y}]})
    .then(() => cdp.send('Input.dispatchTouchEvent', {type: 'touchCancel', touchPoints: []})),
  key: (key) => page.keyboard.press(key),
  // As the page is now shown: the protocol's own capture keeps a size and ratio set through it.
  screenshot: (path) => cdp.send('Page.captureScreenshot', {format: 'png'}).then(({data}) => writeFileSync(path, Buffer.from(data, 'base64'))),
  offline: (on) => context.setOffline(on),
  close: () => context.close(),
  // The limit is set on the browser's own performance metrics: the page's main thread busy in tasks.
  busySeconds: () => cdp.send('Performance.enable').then(() => cdp.send('Performance.getMetrics'))
    .then(({metrics}) => metrics.find((m) => m.name === 'TaskDuration').value),
  // What the network counted: headers and encoded bodies.
  downloaded: () => Promise.all(responses.map((response) => response.request().sizes())).then((sizes) =>
    ({bytes: sizes.reduce((sum, s) => sum + s.responseHeadersSize + s.responseBodySize, 0), responses: sizes.length})),
  async liveRegion(selector) {
    const {nodeId} = await cdp.send('DOM.querySelector', {nodeId: (await cdp.send('DOM.getDocument')).root.nodeId, selector});
    const {nodes} = await cdp.send('Accessibility.getPartialAXTree', {nodeId, fetchRelatives: false});
    return {live: nodes[0].properties?.find((p) => p.name === 'live')?.value.value, text: await page.textContent(selector)};
  },
});
