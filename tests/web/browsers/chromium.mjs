// Debian's Chromium, headless, through playwright-core: every tab in a context of its own, so each
// run starts with an empty cache and no service worker.
import {createRequire} from 'node:module';
import {probeCall} from './probes.mjs';

const FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
               '--disable-component-update', '--disable-sync'];

export async function launchChromium(playwrightDir) {
  const {chromium} = createRequire(import.meta.url)(playwrightDir);
  const browser = await chromium.launch({executablePath: '/usr/bin/chromium', args: FLAGS});
  return {
    version: browser.version(),
    async open({width = 1366, height = 768, ratio = 1, touch = false, headers} = {}) {
      const context = await browser.newContext({viewport: {width, height}, deviceScaleFactor: ratio, hasTouch: touch,
                                                extraHTTPHeaders: headers});
      await context.addInitScript(probeCall('installRecorders'));
      const responses = [];  // the page's and its service worker's
      context.on('response', (response) => responses.push(response));
      return chromiumTab(context, await context.newPage(), responses);
    },
    close: () => browser.close(),
  };
}

function chromiumTab(context, page, responses) {
  return {
    goto: (url) => page.goto(url),
    reload: () => page.reload(),
    call: (name, arg) => page.evaluate(probeCall(name, arg)),
    click: (x, y) => page.mouse.click(x, y),
    touchBy: 'touch events through the DevTools protocol',
    tap: (x, y) => page.touchscreen.tap(x, y),
    clickToLoad: (x, y) => Promise.all([page.waitForEvent('load'), page.mouse.click(x, y)]),
    key: (key) => page.keyboard.press(key),
    screenshot: (path) => page.screenshot({path}),
    offline: (on) => context.setOffline(on),
    // Time the page's main thread spent in tasks, from the browser's own performance metrics.
    async busySeconds() {
      this.cdp ??= await context.newCDPSession(page);
      await this.cdp.send('Performance.enable');
      const {metrics} = await this.cdp.send('Performance.getMetrics');
      return metrics.find((m) => m.name === 'TaskDuration').value;
    },
    // Bytes received so far (headers and encoded bodies, as the network counted them), and the
    // encodings the program's .wasm came in.
    async downloaded() {
      const bytes = {page: 0, worker: 0};
      const wasm = new Set();
      for (const response of responses) {
        const sizes = await response.request().sizes();
        const by = response.request().serviceWorker() ? 'worker' : 'page';
        bytes[by] += sizes.responseHeadersSize + sizes.responseBodySize;
        if (response.url().endsWith('.wasm'))
          wasm.add(`${by} ${response.status()} ${response.headers()['content-encoding'] || 'identity'}`);
      }
      return {...bytes, requests: responses.length, wasm: [...wasm]};
    },
    async liveRegion(selector) {
      this.cdp ??= await context.newCDPSession(page);
      const {root} = await this.cdp.send('DOM.getDocument');
      const {nodeId} = await this.cdp.send('DOM.querySelector', {nodeId: root.nodeId, selector});
      const {nodes} = await this.cdp.send('Accessibility.getPartialAXTree', {nodeId, fetchRelatives: false});
      const property = (name) => nodes[0].properties?.find((p) => p.name === name)?.value.value;
      return {live: property('live'), text: await page.textContent(selector)};
    },
    close: () => context.close(),
  };
}
