// The system's Chromium driven by playwright-core. No browser is ever
// downloaded, and the page may reach nothing but the loopback server.

import { chromium } from 'playwright-core';

import { buildSite, freePort, startPhp } from './site.mjs';

export const CHROMIUM = process.env.E2E_CHROMIUM || '/usr/bin/chromium';

export const CHROMIUM_FLAGS = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

export async function launch() {
  return chromium.launch({ executablePath: CHROMIUM, headless: true, args: CHROMIUM_FLAGS, timeout: 60_000 });
}

/**
 * A browser context whose requests to any host but 127.0.0.1 are aborted
 * and counted in `offsite`, and whose failed resources (anything but a
 * page that answers other than 200) are listed in `bad`.
 */
export async function loopbackContext(browser) {
  const context = await browser.newContext({ viewport: { width: 1200, height: 900 } });
  context.setDefaultTimeout(15_000);
  context.setDefaultNavigationTimeout(15_000);
  context.offsite = [];
  context.bad = [];
  await context.route('**/*', (route) => {
    const url = new URL(route.request().url());
    if (url.hostname === '127.0.0.1') return route.continue();
    context.offsite.push(url.href);
    return route.abort();
  });
  context.on('response', (response) => {
    const request = response.request();
    if (!request.isNavigationRequest() && response.status() !== 200) {
      context.bad.push(`${response.status()} ${request.url()} (on ${request.frame().url()})`);
    }
  });
  return context;
}

/**
 * Clicks `link` and waits for the page it leads to. Returns the main
 * document's response (after redirects) or null when nothing loaded.
 */
export async function follow(page, link) {
  const [response] = await Promise.all([page.waitForNavigation({ waitUntil: 'load' }), link.click()]);
  return response;
}

/** The anchors matched by `selector` as {href, text} pairs. */
export async function anchors(page, selector) {
  return page.$$eval(selector, (els) => els.map((a) => ({ href: a.getAttribute('href'), text: a.textContent })));
}

/**
 * Serve and open: builds the example site, serves it with PHP (`ini`: extra
 * `-d` settings; no server when null) and opens a loopback context of
 * Chromium (none when `browser` is false). `close()` ends all of it.
 */
export async function openSite({ ini = {}, browser = true } = {}) {
  const opened = { site: buildSite(await freePort()) };
  if (ini) opened.server = await startPhp(opened.site, ini);
  if (browser) {
    opened.browser = await launch();
    opened.context = await loopbackContext(opened.browser);
  }
  opened.close = async () => {
    await opened.context?.close();
    await opened.browser?.close();
    await opened.server?.stop();
    opened.site.remove();
  };
  return opened;
}

/**
 * Click and expect: opens `from` in `page` (null: stays on the page as it
 * is), clicks the `index`th match of `selector` (nothing when null) and
 * reads what the visitor sees.
 */
export async function visit(page, from, selector = null, index = 0) {
  let response = from && (await page.goto(from));
  if (selector && (!from || response?.status() === 200)) response = await follow(page, page.locator(selector).nth(index));
  const texts = (css) => page.$$eval(css, (els) => els.map((e) => e.textContent));
  return {
    url: page.url(),
    status: response?.status(),
    title: await page.title(),
    current: await texts('.curmenuitem a'),
    bold: await texts('.wikinav b'),
  };
}
