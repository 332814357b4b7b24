// A visitor's walk through the built site in Chromium: the menu and the
// footer of every sub-site, the navigation column of a deep support page,
// and the language and direction of the documents.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { anchors, follow, launch, loopbackContext } from './lib/browser.mjs';
import {
  buildSite,
  exampleLanguages,
  expectedTitle,
  freePort,
  pageName,
  sitesOf,
  startPhp,
  str,
  titlePattern,
} from './lib/site.mjs';

const languages = exampleLanguages();
let site;
let server;
let browser;
let context;
// Images and other resources of the visited pages that did not load.
const badResources = [];

before(async () => {
  site = buildSite(await freePort());
  server = await startPhp(site);
  browser = await launch();
  context = await loopbackContext(browser);
  context.on('response', (response) => {
    const request = response.request();
    if (!request.isNavigationRequest() && response.status() !== 200) {
      badResources.push(`${response.status()} ${request.url()} (on ${request.frame().url()})`);
    }
  });
});

after(async () => {
  await context?.close();
  await browser?.close();
  await server?.stop();
  site?.remove();
});

// What following a menu item must lead to, in menu order. `page` is the
// template key of the target page, `title` the string key of its name.
const MENU = [
  { label: 'HOME', page: null, title: null },
  { label: 'DOWNLOADS', page: 'DOWNLOADS_TEMPLATE', title: 'DOWNLOADS' },
  { label: 'FAQ', page: 'FAQ_TEMPLATE', title: 'FAQ' },
  { label: 'SUPPORT', support: true },
  { label: 'FORUMS', forum: true },
  { label: 'DONATE', page: 'DONATE_TEMPLATE', title: 'DONATE' },
  { label: 'CONTACT', page: 'CONTACT_TEMPLATE', title: 'CONTACT' },
];

const FOOTER = [
  { label: 'ABOUT', page: 'ABOUT_TEMPLATE' },
  { label: 'LANGUAGE', page: 'LANGUAGE_TEMPLATE' },
  { label: 'PRIVACY', page: 'PRIVACY_TEMPLATE' },
];

function sameUrl(a, b) {
  return new URL(a).href === new URL(b).href;
}

describe('menu and footer', () => {
  for (const s of sitesOf(languages)) {
    test(`${s.name}: every menu item and footer link leads to its page`, { timeout: 180_000 }, async () => {
      const { lang } = s;
      const base = site.urlRoot + s.prefix;
      const home = `${base}/`;
      const problems = [];
      const page = await context.newPage();
      try {
        const first = await page.goto(home);
        assert.equal(first?.status(), 200, `home page ${home}`);
        assert.equal(await page.title(), expectedTitle(lang, null), `title of ${home}`);

        const menu = await anchors(page, '.menu .menuitem a, .menu .curmenuitem a');
        assert.deepEqual(
          menu.map((a) => a.text),
          MENU.map((m) => str(lang, m.label)),
          'menu labels in order',
        );
        assert.deepEqual(await anchors(page, '.curmenuitem a'), [menu[0]], 'home is the current menu item');

        for (const [i, item] of MENU.entries()) {
          const { href } = menu[i];
          // The forum is a separate application at the host's own /forum.
          if (!item.forum && !href.startsWith(site.urlRoot)) {
            problems.push(`menu ${item.label}: ${href} lies outside the URL root`);
            continue;
          }
          if (item.page && !sameUrl(href, `${base}/${pageName(lang, item.page)}`)) {
            problems.push(`menu ${item.label}: links to ${href}`);
          }
          await page.goto(home);
          const response = await follow(page, page.locator('.menu a').nth(i));
          if (response?.status() !== 200) {
            problems.push(`menu ${item.label}: ${href} answered ${response?.status()}`);
            continue;
          }
          if (item.forum) continue; // a separate application, not built by the tool
          const title = await page.title();
          const current = await anchors(page, '.curmenuitem a');
          if (item.support) {
            if (!titlePattern(lang).test(title)) problems.push(`menu SUPPORT: ${href} has the title "${title}"`);
          } else if (title !== expectedTitle(lang, item.title && str(lang, item.title))) {
            problems.push(`menu ${item.label}: ${href} has the title "${title}"`);
          }
          if (current.length !== 1 || current[0].text !== menu[i].text) {
            problems.push(`menu ${item.label}: ${href} marks ${JSON.stringify(current.map((a) => a.text))} as current`);
          }
        }

        await page.goto(home);
        const footer = await anchors(page, '.bot a, .bot2 a');
        for (const item of FOOTER) {
          const label = str(lang, item.label);
          const index = footer.findIndex((a) => a.text === label);
          if (index < 0) {
            problems.push(`footer: no link "${label}"`);
            continue;
          }
          const { href } = footer[index];
          if (!sameUrl(href, `${base}/${pageName(lang, item.page)}`)) problems.push(`footer ${item.label}: links to ${href}`);
        }
        for (const [i, link] of footer.entries()) {
          if (!link.href.startsWith(site.urlRoot)) continue;
          await page.goto(home);
          const response = await follow(page, page.locator('.bot a, .bot2 a').nth(i));
          if (response?.status() !== 200) {
            problems.push(`footer "${link.text}": ${link.href} answered ${response?.status()}`);
            continue;
          }
          const title = await page.title();
          const named = FOOTER.some((f) => str(lang, f.label) === link.text);
          if (named ? title !== expectedTitle(lang, link.text) : !titlePattern(lang).test(title)) {
            problems.push(`footer "${link.text}": ${link.href} has the title "${title}"`);
          }
        }
      } finally {
        await page.close();
      }
      assert.deepEqual(problems, []);
    });
  }
});

// The first support page three levels down whose own entry is shown in its
// navigation column (a hidden page shows no bold entry).
function thirdLevelPage(folder) {
  const found = [];
  const walk = (dir, rel) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true }).sort((a, b) => (a.name < b.name ? -1 : 1))) {
      if (!entry.isDirectory()) continue;
      const sub = [...rel, entry.name];
      const file = path.join(dir, entry.name, 'index.html');
      if (sub.length === 3 && fs.existsSync(file) && /<div class="wikinav">[\s\S]*?<b>[\s\S]*?<\/div>/.test(fs.readFileSync(file, 'utf8'))) {
        found.push(sub.join('/'));
      }
      if (sub.length < 3) walk(path.join(dir, entry.name), sub);
    }
  };
  if (fs.existsSync(folder)) walk(folder, []);
  return found[0];
}

describe('support navigation', () => {
  for (const s of sitesOf(languages)) {
    test(`${s.name}: every entry of a third-level page's navigation shows itself in bold`, { timeout: 180_000 }, async () => {
      const { lang } = s;
      const base = site.urlRoot + s.prefix;
      const folder = path.join(site.out, s.prefix, str(lang, 'SUPPORT_FOLDER'));
      const slug = thirdLevelPage(folder);
      assert.ok(slug, `no visible third-level support page under ${folder}`);
      const start = `${base}/${str(lang, 'SUPPORT_FOLDER')}/${slug}`;

      const problems = [];
      const page = await context.newPage();
      try {
        assert.equal((await page.goto(start))?.status(), 200, start);
        const entries = await anchors(page, '.wikinav a');
        const bold = await page.$$eval('.wikinav b', (els) => els.map((b) => b.textContent));
        assert.equal(bold.length, 1, `one bold entry on ${start}`);
        assert.ok(entries.length >= 3, `${start} shows its ancestors: ${JSON.stringify(entries)}`);

        for (const [i, entry] of entries.entries()) {
          await page.goto(start);
          const response = await follow(page, page.locator('.wikinav a').nth(i));
          if (response?.status() !== 200) {
            problems.push(`"${entry.text}": ${entry.href} answered ${response?.status()}`);
            continue;
          }
          const shown = await page.$$eval('.wikinav b', (els) => els.map((b) => b.textContent));
          if (shown.length !== 1 || shown[0] !== entry.text) {
            problems.push(`"${entry.text}": ${entry.href} shows ${JSON.stringify(shown)} in bold`);
          }
          if (!titlePattern(lang).test(await page.title())) {
            problems.push(`"${entry.text}": ${entry.href} has the title "${await page.title()}"`);
          }
          if ((await page.$$('.curmenuitem')).length !== 1) problems.push(`"${entry.text}": no current menu item`);
        }
      } finally {
        await page.close();
      }
      assert.deepEqual(problems, []);
    });
  }
});

test('lang and dir of the documents follow the language', { timeout: 120_000 }, async () => {
  const page = await context.newPage();
  const seen = [];
  try {
    for (const s of sitesOf(languages)) {
      const base = site.urlRoot + s.prefix;
      for (const url of [`${base}/`, `${base}/${pageName(s.lang, 'FAQ_TEMPLATE')}`]) {
        assert.equal((await page.goto(url))?.status(), 200, url);
        const { lang, dir, direction } = await page.evaluate(() => ({
          lang: document.documentElement.getAttribute('lang'),
          dir: document.documentElement.getAttribute('dir'),
          direction: getComputedStyle(document.body).direction,
        }));
        seen.push({ url: url.slice(site.urlRoot.length), lang, dir, direction });
      }
    }
  } finally {
    await page.close();
  }
  const expected = [];
  for (const s of sitesOf(languages)) {
    const { rtl } = s.lang;
    for (const url of [`${s.prefix}/`, `${s.prefix}/${pageName(s.lang, 'FAQ_TEMPLATE')}`]) {
      expected.push({
        url,
        lang: s.rootBuild ? 'en' : s.lang.code.split('-')[0],
        dir: rtl ? 'rtl' : null,
        direction: rtl ? 'rtl' : 'ltr',
      });
    }
  }
  assert.ok(languages.some((l) => l.rtl && l.code.startsWith('ar')), 'the example has an Arabic language');
  assert.deepEqual(seen, expected);
});

test('pages load all their resources from the site and nothing from elsewhere', () => {
  assert.deepEqual(badResources, []);
  assert.deepEqual(context.offsite, []);
});
