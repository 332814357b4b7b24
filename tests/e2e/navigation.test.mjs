// A visitor's walk through the built site in Chromium: every menu and footer
// link and every entry of a deep support page's navigation column, on every
// sub-site, and the language and direction of the documents.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { anchors, openSite, visit } from './lib/browser.mjs';
import { exampleLanguages, expectedTitle, pageName, sitesOf, str, titlePattern } from './lib/site.mjs';

const languages = exampleLanguages();
let s;
let page;

before(async () => {
  s = await openSite();
  page = await s.context.newPage();
});

after(async () => s?.close());

// The menu in order: label key, then the template and title keys of the
// page it opens. Support opens some support page; the forum is a separate
// application at the host's own /forum, not built by the tool.
const MENU = [
  ['HOME', null, null],
  ['DOWNLOADS', 'DOWNLOADS_TEMPLATE', 'DOWNLOADS'],
  ['FAQ', 'FAQ_TEMPLATE', 'FAQ'],
  ['SUPPORT'],
  ['FORUMS'],
  ['DONATE', 'DONATE_TEMPLATE', 'DONATE'],
  ['CONTACT', 'CONTACT_TEMPLATE', 'CONTACT'],
];
const FOOTER = { ABOUT: 'ABOUT_TEMPLATE', LANGUAGE: 'LANGUAGE_TEMPLATE', PRIVACY: 'PRIVACY_TEMPLATE' };

// The first support page three levels down whose own entry is shown in its
// navigation column (a hidden page shows no bold entry).
function thirdLevelPage(folder, rel = []) {
  for (const entry of fs.readdirSync(folder, { withFileTypes: true }).sort((a, b) => (a.name < b.name ? -1 : 1))) {
    if (!entry.isDirectory()) continue;
    const sub = [...rel, entry.name];
    const file = path.join(folder, entry.name, 'index.html');
    if (sub.length === 3 && fs.existsSync(file) && /<div class="wikinav">[\s\S]*?<b>/.test(fs.readFileSync(file, 'utf8'))) {
      return sub.join('/');
    }
    const deeper = sub.length < 3 && thirdLevelPage(path.join(folder, entry.name), sub);
    if (deeper) return deeper;
  }
  return null;
}

/** Every link of a sub-site to follow, as rows of where to click and what must show. */
async function linkRows(sub) {
  const { lang } = sub;
  const base = s.site.urlRoot + sub.prefix;
  const home = `${base}/`;
  const rows = [];
  await page.goto(home);
  const menu = await anchors(page, '.menu a');
  assert.deepEqual(menu.map((a) => a.text), MENU.map(([label]) => str(lang, label)), `menu of ${home}`);
  for (const [i, [label, template, title]] of MENU.entries()) {
    rows.push({
      name: `menu ${label}`, from: home, selector: '.menu a', index: i, href: menu[i].href, inRoot: label !== 'FORUMS',
      target: template && `${base}/${pageName(lang, template)}`,
      title: template ? expectedTitle(lang, str(lang, title)) : label === 'HOME' ? expectedTitle(lang, null) : label === 'SUPPORT' ? titlePattern(lang) : null,
      current: label === 'FORUMS' ? null : [menu[i].text],
    });
  }
  const footer = await anchors(page, '.bot a, .bot2 a');
  for (const [label, template] of Object.entries(FOOTER)) {
    const found = footer.find((a) => a.text === str(lang, label));
    rows.push({ name: `footer ${label}`, href: found?.href, target: `${base}/${pageName(lang, template)}` });
  }
  for (const [i, link] of footer.entries()) {
    if (!link.href.startsWith(s.site.urlRoot)) continue;
    const named = Object.keys(FOOTER).some((label) => str(lang, label) === link.text);
    rows.push({ name: `footer "${link.text}"`, from: home, selector: '.bot a, .bot2 a', index: i, href: link.href, inRoot: true,
      title: named ? expectedTitle(lang, link.text) : titlePattern(lang) });
  }
  const slug = thirdLevelPage(path.join(s.site.out, sub.prefix, str(lang, 'SUPPORT_FOLDER')));
  assert.ok(slug, `${sub.name} has a visible third-level support page`);
  const deep = `${base}/${str(lang, 'SUPPORT_FOLDER')}/${slug}`;
  await page.goto(deep);
  const entries = await anchors(page, '.wikinav a');
  assert.ok(entries.length >= 3, `${deep} shows its ancestors: ${JSON.stringify(entries)}`);
  for (const [i, entry] of entries.entries()) {
    rows.push({ name: `support "${entry.text}"`, from: deep, selector: '.wikinav a', index: i, href: entry.href, inRoot: true,
      title: titlePattern(lang), current: [str(lang, 'SUPPORT')], bold: [entry.text] });
  }
  return rows;
}

const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);

for (const sub of sitesOf(languages)) {
  test(`${sub.name}: every menu, footer and support navigation link leads to its page`, { timeout: 300_000 }, async () => {
    const problems = [];
    for (const row of await linkRows(sub)) {
      const where = `${row.name} (${row.href})`;
      if (row.href === undefined) {
        problems.push(`${row.name}: no such link`);
        continue;
      }
      if (row.target && new URL(row.href).href !== new URL(row.target).href) problems.push(`${where}: not ${row.target}`);
      if (row.inRoot && !row.href.startsWith(s.site.urlRoot)) problems.push(`${where}: outside the URL root`);
      if (!row.selector || (row.inRoot && !row.href.startsWith(s.site.urlRoot))) continue;
      const got = await visit(page, row.from, row.selector, row.index);
      if (got.status !== 200) problems.push(`${where}: answered ${got.status}`);
      else if (row.title instanceof RegExp ? !row.title.test(got.title) : row.title && got.title !== row.title) problems.push(`${where}: title "${got.title}"`);
      else if (row.current && !same(got.current, row.current)) problems.push(`${where}: current menu item ${JSON.stringify(got.current)}`);
      else if (row.bold && !same(got.bold, row.bold)) problems.push(`${where}: shows ${JSON.stringify(got.bold)} in bold`);
    }
    assert.deepEqual(problems, []);
  });
}

test('lang and dir of the documents follow the language', { timeout: 120_000 }, async () => {
  assert.ok(languages.some((l) => l.rtl && l.code.startsWith('ar')), 'the example has an Arabic language');
  const seen = [];
  const expected = [];
  for (const sub of sitesOf(languages)) {
    for (const url of [`${sub.prefix}/`, `${sub.prefix}/${pageName(sub.lang, 'FAQ_TEMPLATE')}`]) {
      assert.equal((await page.goto(s.site.urlRoot + url))?.status(), 200, url);
      seen.push({ url, ...(await page.evaluate(() => ({
        lang: document.documentElement.getAttribute('lang'),
        dir: document.documentElement.getAttribute('dir'),
        direction: getComputedStyle(document.body).direction,
      }))) });
      const { rtl } = sub.lang;
      expected.push({ url, lang: sub.rootBuild ? 'en' : sub.lang.code.split('-')[0], dir: rtl ? 'rtl' : null, direction: rtl ? 'rtl' : 'ltr' });
    }
  }
  assert.deepEqual(seen, expected);
});

test('pages load all their resources from the site and nothing from elsewhere', () => {
  assert.deepEqual(s.context.bad, []);
  assert.deepEqual(s.context.offsite, []);
});
