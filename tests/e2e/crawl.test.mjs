// Crawls the served site and fetches every link and resource under the URL
// root: what the tool's final link check left unreported must answer 200
// (and hold the anchor it names), what it reported must not.

import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';

import { openSite } from './lib/browser.mjs';
import { pageUrls } from './lib/site.mjs';

let s;
let site;

before(async () => {
  s = await openSite({ browser: false });
  site = s.site;
});

after(async () => s?.close());

const cache = new Map();

/** One GET of `url`, redirects not followed; cached per URL. */
async function get(url) {
  if (!cache.has(url)) {
    cache.set(
      url,
      (async () => {
        const response = await fetch(new URL(url), { redirect: 'manual', signal: AbortSignal.timeout(10_000) });
        const type = response.headers.get('content-type') || '';
        const body = type.startsWith('text/html') ? await response.text() : (await response.arrayBuffer(), '');
        return { status: response.status, html: type.startsWith('text/html'), body };
      })(),
    );
  }
  return cache.get(url);
}

const decode = (s) => s.replace(/&amp;/g, '&');

/** The href, src and CSS url() references of a page, as written. */
function references(html) {
  const found = [];
  for (const m of html.matchAll(/\s(?:href|src)="([^"]*)"/g)) found.push(decode(m[1]));
  for (const m of html.matchAll(/url\(\s*['"]?([^'")]+)['"]?\s*\)/g)) found.push(decode(m[1]));
  return found;
}

/** `ref` made absolute against `base`; the anchor is kept as written (ids may be UTF-8). */
function resolve(ref, base) {
  if (/^[a-z][a-z0-9+.-]*:/i.test(ref)) return ref;
  const hash = ref.indexOf('#');
  const target = hash < 0 ? ref : ref.slice(0, hash);
  const anchor = hash < 0 ? '' : ref.slice(hash);
  return new URL(target || base, base).href.split('#')[0] + anchor;
}

test('the example site builds without errors', () => {
  assert.equal(site.errors, 0, site.log);
});

test('every link under the URL root answers as the link check says', { timeout: 300_000 }, async () => {
  const root = site.urlRoot;
  const under = (url) => url === root || (url.startsWith(root) && /^[/#]/.test(url.slice(root.length)));

  // root-relative link (as the link check names it) -> pages that hold it
  const links = new Map();
  const pages = [...pageUrls(site), `${root}/`];
  const crawled = new Set();
  const problems = [];

  while (pages.length > 0) {
    const url = pages.shift();
    if (crawled.has(url)) continue;
    crawled.add(url);
    const page = await get(url);
    if (page.status !== 200) {
      problems.push(`page ${url} answered ${page.status}`);
      continue;
    }
    if (!page.html) continue;
    for (const ref of references(page.body)) {
      const absolute = resolve(ref, url);
      if (!under(absolute)) continue;
      const rel = absolute.slice(root.length);
      if (!links.has(rel)) links.set(rel, new Set());
      links.get(rel).add(url.slice(root.length));
      const target = root + rel.split('#')[0];
      if (!crawled.has(target)) pages.push(target);
    }
  }
  assert.ok(crawled.size > pageUrls(site).length / 2, `crawled ${crawled.size} pages`);

  for (const [rel, from] of [...links].sort()) {
    const [target, anchor] = rel.split('#');
    const answer = await get(root + target);
    const holdsAnchor = anchor === undefined || (answer.html && answer.body.includes(` id="${anchor}"`));
    const ok = answer.status === 200 && holdsAnchor;
    const where = `(on ${[...from].slice(0, 3).join(', ')}${from.size > 3 ? ', ...' : ''})`;
    if (site.reported.has(rel) && ok) problems.push(`reported as broken but works: ${rel} ${where}`);
    if (!site.reported.has(rel) && !ok) {
      const why = answer.status === 200 ? `no id "${anchor}"` : `answered ${answer.status}`;
      problems.push(`not reported but ${why}: ${rel} ${where}`);
    }
  }
  for (const rel of site.reported) {
    if (!links.has(rel)) problems.push(`reported but written on no page: ${rel}`);
  }
  assert.deepEqual(problems, [], `tool output:\n${site.log}`);
});
