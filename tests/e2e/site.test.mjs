// The example site as visitors meet it: built by the tool, served by PHP's built-in server,
// walked in Chromium (every menu, footer and support navigation link of every sub-site), its
// contact form posted to the script the tool writes, and every link crawled.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { MENU, browse, e2eDir, exampleDir, freePort, mismatches, prepareOutput, rawGet, run, startProcess,
  subSites, temp, tool } from './lib.mjs';

const work = temp('site');
const out = path.join(work, 'site');
const store = path.join(work, 'mail'); // the sendmail stand-in puts each mail here
let port, root, build, server, context, page;

before(async () => {
  assert.ok(subSites.some((sub) => sub.lang.rtl), 'the example has a right-to-left language');
  port = await freePort();
  root = `http://127.0.0.1:${port}`;
  prepareOutput(out);
  fs.mkdirSync(store);
  build = run(tool, [out, root], { cwd: exampleDir });
  // Warnings and notices are shown and nothing is buffered: a message that PHP prints before
  // header() then breaks the redirect, as on such a host.
  const ini = { display_errors: 1, error_reporting: 32767, output_buffering: 0,
    sendmail_path: `${e2eDir}/sendmail-stub.sh ${store}` };
  const args = Object.entries(ini).flatMap(([k, v]) => ['-d', `${k}=${v}`]);
  args.push('-S', `127.0.0.1:${port}`, '-t', out, `${e2eDir}/router.php`);
  server = await startProcess('php', args, port);
  context = await browse();
  page = await context.newPage();
});
after(async () => {
  await context?.browser().close();
  await server?.stop();
  fs.rmSync(work, { recursive: true, force: true });
});

/** Opens `from` (null: stays), clicks the `index`th `selector` (none when null), reads what shows. */
async function visit(from, selector = null, index = 0) {
  let response = from && (await page.goto(from));
  if (selector && (!from || response?.status() === 200)) {
    [response] = await Promise.all([page.waitForNavigation(), page.locator(selector).nth(index).click()]);
  }
  const texts = (css) => page.$$eval(css, (els) => els.map((e) => e.textContent));
  const doc = await page.evaluate(() => [document.documentElement.lang,
    document.documentElement.getAttribute('dir'), getComputedStyle(document.body).direction]);
  return { url: page.url(), status: response?.status(), title: await page.title(), doc,
    current: await texts('.curmenuitem a'), bold: await texts('.wikinav b') };
}

const FOOTER = ['ABOUT', 'LANGUAGE', 'PRIVACY'];

for (const { name, lang, prefix, root: atRoot } of subSites) {
  test(`${name}: every menu, footer and support navigation link leads to its page`, async () => {
    const base = root + prefix;
    const inRoot = new RegExp(`^${root.replaceAll('.', '\\.')}/`);
    // The document's language and direction, on every page the tool wrote.
    const doc = [atRoot ? 'en' : lang.code.split('-')[0], lang.rtl ? 'rtl' : null, lang.rtl ? 'rtl' : 'ltr'];
    const label = (keys, menu) => (link, i) => {
      const key = keys[i];
      if (key === 'FORUMS' || !key) return { text: key && lang.str(key) };
      const href = { HOME: `${base}/`, SUPPORT: inRoot }[key] ?? `${base}/${lang.page(key)}`;
      const current = menu ? { current: [link.text] } : {};
      return { text: lang.str(key), href, title: lang.linkTitle(key), doc, ...current };
    };
    // The first support page three levels down whose own entry shows (a hidden one has none in bold).
    const support = path.join(out, prefix, lang.str('SUPPORT_FOLDER'));
    const deep = fs.readdirSync(support, { recursive: true }).sort().map((p) => p.split(path.sep))
      .find((p) => p.length === 4 && p[3] === 'index.html'
        && /<div class="wikinav">[\s\S]*?<b>/.test(fs.readFileSync(path.join(support, ...p), 'utf8')));
    const deepUrl = `${base}/${lang.str('SUPPORT_FOLDER')}/${deep?.slice(0, 3).join('/')}`;
    const wiki = (link) => ({ href: inRoot, title: lang.anyTitle, doc, current: [lang.str('SUPPORT')],
      bold: [link.text] });
    const groups = [ // where, which links, how many there are, what each must show
      [`${base}/`, '.menu a', (n) => n === MENU.length, label(MENU, true)],
      [`${base}/`, '.bot a, .bot2 a', (n) => n === FOOTER.length, label(FOOTER, false)],
      [deepUrl, '.wikinav a', (n) => n >= 3, wiki],
    ];
    const problems = [];
    for (const [from, selector, count, want] of groups) {
      await page.goto(from);
      const links = await page.$$eval(selector, (els) => els.map((a) => ({ href: a.getAttribute('href'),
        text: a.textContent })));
      if (!count(links.length)) problems.push(`${from}: ${links.length} × ${selector}`);
      for (const [i, link] of links.entries()) {
        const got = { ...link, ...(await visit(from, selector, i)) };
        const wrong = mismatches(got, { status: 200, ...want(link, i) });
        problems.push(...wrong.map((m) => `${link.text} on ${from}: ${m}`));
      }
    }
    assert.deepEqual(problems, []);
  });
}

const GREETING = 'Grüße, привет, مرحبا';
// What a visitor sends, where it lands, and the stored mail's sender line and body (none: nothing is
// sent). The email is set as the field's raw value, so a line break reaches the script as posted;
// no message: the script is opened without the form (a bookmark, a crawler).
const FORMS = [ // name, message, email, lands on, mail, sendmail fails
  ['with an address', GREETING, 'visitor@example.org', 'CONTACTOK', `From: visitor@example.org\n${GREETING}`],
  ['no address: the no-reply sender', 'Hi', '', 'CONTACTOK', 'From: no-reply@tarnwick.example\nHi'],
  ['sendmail fails', 'Hello', 'visitor@example.org', 'CONTACTERROR', null, true],
  ['header injection', 'Injected', 'visitor@example.org\r\nBcc: victim@example.org', 'CONTACTERROR'],
  ['an empty form', '', '', 'CONTACTERROR'],
  // Regression: the script read the two request keys unguarded, PHP 8 warned first, and with
  // display_errors on that output broke the redirect.
  ['no form', undefined, undefined, 'CONTACTERROR'],
];

for (const { name, lang, prefix } of subSites) {
  test(`${name}: the contact form sends what it should and lands where it should`, async () => {
    const base = root + prefix;
    const problems = [];
    for (const [row, message, email, lands, mail, fails] of FORMS) {
      if (fails) fs.rmSync(store, { recursive: true }); // the stand-in cannot store: sendmail fails
      let got = message === undefined && (await visit(`${base}/sendemail.php`));
      if (!got) {
        await page.goto(`${base}/${lang.page('CONTACT')}`);
        await page.fill('form textarea[name="message"]', message);
        await page.$eval('form input[name="email"]', (input, value) => {
          input.type = 'hidden'; // a text field would strip line breaks
          input.value = value;
        }, email);
        const posted = page.waitForRequest((r) => r.url().endsWith('/sendemail.php'));
        got = { ...(await visit(null, 'form input[type="submit"]')), posted: (await posted).postData() };
      }
      const want = { url: `${base}/${lang.page(lands)}`, status: 200, title: lang.title(lands) };
      if (email?.includes('\n')) want.posted = /email=visitor%40example\.org%0D%0ABcc/; // as typed
      problems.push(...mismatches(got, want).map((m) => `${row}: ${m}`));
      fs.mkdirSync(store, { recursive: true });
      const sent = fs.readdirSync(store).map((n) => fs.readFileSync(path.join(store, n), 'utf8'));
      fs.rmSync(store, { recursive: true });
      fs.mkdirSync(store);
      const mailed = sent.length === 1 && /^Subject: tarnwick - Contact form$/m.test(sent[0]);
      if (mail ? !mailed || !sent[0].includes(mail) : sent.length) problems.push(`${row}: mails ${sent}`);
    }
    assert.deepEqual(problems, []);
    assert.doesNotMatch(server.output(), /PHP (Warning|Notice|Deprecated|Fatal)/);
  });
}

const cache = new Map();
/** One GET of a path under the URL root, encoded as a browser would; once per path. */
const get = (rel) => {
  const key = new URL(rel, root).href.slice(root.length);
  return cache.get(key) ?? cache.set(key, rawGet(port, key)).get(key);
};

test('every link under the URL root answers as the link check says', async () => {
  const log = build.stdout + build.stderr;
  assert.match(log, /^0 error\(s\)/m);
  const reported = new Set([...log.matchAll(/^.*?:\d+: warning: broken url (.*)$/gm)].map((m) => m[1]));
  // Every page file of the output tree, then every page they link, as paths under the URL root;
  // link as the link check names it -> pages holding it.
  const pages = new Set(fs.readdirSync(out, { recursive: true }).filter((p) => /(^|\/)index\.html$/.test(p))
    .map((p) => `/${p.slice(0, -'index.html'.length)}`));
  const links = new Map();
  const problems = [];
  for (const rel of pages) { // also visits the pages added on the way
    const { status, body } = await get(rel);
    if (status !== 200) problems.push(`page ${rel} answered ${status}`);
    for (const m of body.matchAll(/\s(?:href|src)="([^"]*)"|url\(\s*['"]?([^'")]+)['"]?\s*\)/g)) {
      const ref = (m[1] ?? m[2]).replace(/&amp;/g, '&');
      const hash = ref.includes('#') ? ref.indexOf('#') : ref.length;
      // Made absolute; the anchor is kept as written (ids may be UTF-8).
      const absolute = /^[a-z][a-z0-9+.-]*:/i.test(ref) ? ref
        : new URL(ref.slice(0, hash) || root + rel, root + rel).href.split('#')[0] + ref.slice(hash);
      const link = absolute.slice(root.length);
      if (!absolute.startsWith(root) || !/^([/#]|$)/.test(link)) continue;
      links.set(link, (links.get(link) ?? new Set()).add(rel));
      pages.add(link.split('#')[0] || '/');
    }
  }
  for (const [link, from] of [...links].sort()) {
    const [target, anchor] = link.split('#');
    const { status, body } = await get(target);
    const ok = status === 200 && (anchor === undefined || body.includes(` id="${anchor}"`));
    const where = `${link} (${status}, on ${[...from].slice(0, 3).join(', ')})`;
    if (reported.has(link) === ok) problems.push(`${ok ? 'reported but works' : 'not reported'}: ${where}`);
  }
  for (const link of reported) if (!links.has(link)) problems.push(`reported, on no page: ${link}`);
  assert.deepEqual(problems, [], `tool output:\n${log}`);
});

test('pages load all their resources from the site and nothing from elsewhere', () => {
  assert.deepEqual([...context.bad, ...context.offsite], []);
});
