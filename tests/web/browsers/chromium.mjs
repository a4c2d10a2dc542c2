// Debian's Chromium, headless, through playwright-core: every tab in a context of its own, so each
// run starts with an empty cache and no service worker.
import {createRequire} from 'node:module';
import {join} from 'node:path';
import {probeCall} from './probes.mjs';

const FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
               '--disable-component-update', '--disable-sync'];

export async function launchChromium(modulesDir) {
  const {chromium} = createRequire(join(modulesDir, 'index.js'))('playwright-core');
  const browser = await chromium.launch({executablePath: '/usr/bin/chromium', args: FLAGS});
  return {
    engine: 'chromium',
    version: browser.version(),
    async open({width = 1366, height = 768, ratio = 1, touch = false, headers} = {}) {
      const context = await browser.newContext({viewport: {width, height}, deviceScaleFactor: ratio, hasTouch: touch,
                                                extraHTTPHeaders: headers});
      await context.addInitScript(probeCall('installRecorders'));
      return chromiumTab(context, await context.newPage());
    },
    close: () => browser.close(),
  };
}

function chromiumTab(context, page) {
  return {
    context,
    page,
    goto: (url) => page.goto(url),
    reload: () => page.reload(),
    call: (name, arg) => page.evaluate(probeCall(name, arg)),
    click: (x, y) => page.mouse.click(x, y),
    tap: (x, y) => page.touchscreen.tap(x, y),
    key: (key) => page.keyboard.press(key),
    screenshot: (path) => page.screenshot({path}),
    offline: (on) => context.setOffline(on),
    async metrics() {
      this.cdp ??= await context.newCDPSession(page);
      await this.cdp.send('Performance.enable');
      const {metrics} = await this.cdp.send('Performance.getMetrics');
      return Object.fromEntries(metrics.map(({name, value}) => [name, value]));
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
