// The system's Chromium driven by playwright-core. No browser is ever
// downloaded, and the page may reach nothing but the loopback server.

import { chromium } from 'playwright-core';

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
 * and counted, so a page that reaches out shows up in `offsite`.
 */
export async function loopbackContext(browser) {
  const context = await browser.newContext({ viewport: { width: 1200, height: 900 } });
  context.setDefaultTimeout(15_000);
  context.setDefaultNavigationTimeout(15_000);
  const offsite = [];
  await context.route('**/*', (route) => {
    const url = new URL(route.request().url());
    if (url.hostname === '127.0.0.1') return route.continue();
    offsite.push(url.href);
    return route.abort();
  });
  context.offsite = offsite;
  return context;
}

/**
 * Clicks `link` and waits for the page it leads to. Returns the main
 * document's response (after redirects) or null when nothing loaded.
 */
export async function follow(page, link) {
  const [response] = await Promise.all([
    page.waitForNavigation({ waitUntil: 'load' }),
    link.click(),
  ]);
  return response;
}

/** The anchors matched by `selector` as {href, text} pairs. */
export async function anchors(page, selector) {
  return page.$$eval(selector, (els) => els.map((a) => ({ href: a.getAttribute('href'), text: a.textContent })));
}
