// The preview: `--serve` on a copy of the example site, so the test can edit
// a template and watch the open page reload; every menu link, a missing
// page, requests that try to leave the output folder, and Ctrl-C.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { launch, loopbackContext } from './lib/browser.mjs';
import { exampleDir, exampleLanguages, expectedTitle, freePort, prepareOutput, startProcess, str, titlePattern, tool } from './lib/site.mjs';

const lang = exampleLanguages().find((l) => l.code === 'en-us');
let work;
let server;
let browser;
let context;

/** `--serve` in `cwd`, started once it prints the address it serves. */
const startServe = (cwd, port, out) =>
  startProcess(tool, ['--serve', '--port', String(port), out], async (output) => output.includes('serving http://'), { cwd });

/** A GET with the path sent exactly as written (no normalising of "..", as a browser would). */
function rawGet(port, rawPath) {
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port, path: rawPath, method: 'GET' }, (res) => {
      let body = '';
      res.setEncoding('utf8');
      res.on('data', (d) => (body += d));
      res.on('end', () => resolve({ status: res.statusCode, type: res.headers['content-type'], body }));
    });
    req.on('error', reject);
    req.end();
  });
}

const titleOf = (html) => /<title>([^<]*)<\/title>/.exec(html)?.[1];

before(async () => {
  work = fs.mkdtempSync(path.join(os.tmpdir(), 'mt-serve-'));
  const source = path.join(work, 'source');
  fs.cpSync(exampleDir, source, { recursive: true });
  const port = await freePort();
  const out = path.join(work, 'out');
  prepareOutput(out);
  // A link that leads out of the output folder, to the sources beside it.
  fs.symlinkSync(source, path.join(out, 'outside'));
  server = Object.assign(await startServe(source, port, out), { port, urlRoot: `http://127.0.0.1:${port}`, source, out });
  browser = await launch();
  context = await loopbackContext(browser);
});

after(async () => {
  await context?.close();
  await browser?.close();
  await server?.stop('SIGINT');
  if (work) fs.rmSync(work, { recursive: true, force: true });
});

describe('--serve', () => {
  test('the files on disk are what a plain build writes', () => {
    const plain = path.join(work, 'plain');
    prepareOutput(plain);
    const run = spawnSync(tool, [plain, server.urlRoot], { cwd: server.source, encoding: 'utf8' });
    assert.equal(run.status, 0, run.stdout);
    const differ = [];
    const walk = (rel) => {
      for (const entry of fs.readdirSync(path.join(server.out, rel), { withFileTypes: true })) {
        const name = path.join(rel, entry.name);
        if (entry.isSymbolicLink()) continue;
        if (entry.isDirectory()) walk(name);
        else if (!fs.readFileSync(path.join(server.out, name)).equals(fs.readFileSync(path.join(plain, name)))) differ.push(name);
      }
    };
    walk('');
    assert.deepEqual(differ, []);
  });

  test('an open page reloads with its edited template within 2 seconds', { timeout: 30_000 }, async () => {
    const page = await context.newPage();
    try {
      const faq = `${server.urlRoot}/faq`;
      assert.equal((await page.goto(faq))?.status(), 200);
      // The event stream must be open before the edit, as on a page someone reads.
      await page.waitForTimeout(300);
      const marker = `Edited while previewing ${Date.now()}`;
      const reloaded = page.waitForEvent('load', { timeout: 2_000 });
      const start = Date.now();
      fs.appendFileSync(path.join(server.source, 'en-us', str(lang, 'FAQ_TEMPLATE')), `\n${marker}\n`);
      await reloaded;
      assert.ok((await page.content()).includes(marker), 'the reloaded page shows the edit');
      assert.ok(Date.now() - start < 2_000, `reloaded after ${Date.now() - start} ms`);
      assert.match(server.output(), /rebuilt in \d+\.\d+ s/);
    } finally {
      await page.close();
    }
  });

  test('every menu link answers 200 with its page', { timeout: 60_000 }, async () => {
    // Label key and the title key of the page it leads to (null: home; the
    // support wiki and the forum are told by their own titles).
    const MENU = [
      ['HOME', null],
      ['DOWNLOADS', 'DOWNLOADS'],
      ['FAQ', 'FAQ'],
      ['SUPPORT', 'support'],
      ['FORUMS', 'forum'],
      ['DONATE', 'DONATE'],
      ['CONTACT', 'CONTACT'],
    ];
    const page = await context.newPage();
    const problems = [];
    try {
      await page.goto(`${server.urlRoot}/`);
      const links = await page.$$eval('.menu a', (els) => els.map((a) => ({ href: a.href, text: a.textContent })));
      assert.deepEqual(links.map((l) => l.text), MENU.map(([label]) => str(lang, label)));
      for (const [i, [, title]] of MENU.entries()) {
        const response = await page.goto(links[i].href);
        const got = await page.title();
        const right =
          title === 'forum'
            ? got === 'forum'
            : title === 'support'
              ? titlePattern(lang).test(got)
              : got === expectedTitle(lang, title && str(lang, title));
        if (response?.status() !== 200 || !right) {
          problems.push(`${links[i].href}: ${response?.status()} "${got}"`);
        }
      }
    } finally {
      await page.close();
    }
    assert.deepEqual(problems, []);
  });

  test('missing pages and paths that leave the folder answer 404 with the error page', async () => {
    const errorTitle = expectedTitle(lang, str(lang, 'ERROR404'));
    const rows = [
      '/no-such-page',
      '/faq/no-such-file.png',
      '/../',
      '/../source/en-us.txt',
      '/%2e%2e/source/en-us.txt',
      '/%2E%2E%2Fsource%2Fen-us.txt',
      '/faq/..%2f..%2f..%2fsource/en-us.txt',
      '//etc/passwd',
      `/${encodeURIComponent(server.source)}/en-us.txt`,
      '/outside/en-us.txt',
      '/outside/',
    ];
    for (const rawPath of rows) {
      const res = await rawGet(server.port, rawPath);
      assert.equal(res.status, 404, rawPath);
      assert.equal(titleOf(res.body), errorTitle, rawPath);
    }
  });

  test('content types, folders and the contact script', async () => {
    const rows = [
      ['/', 200, 'text/html'],
      ['/faq/', 200, 'text/html'],
      ['/screenshot.png', 200, 'image/png'],
      ['/rss.xml', 200, 'application/xml'],
      ['/sendemail.php', 501, 'text/html'],
      ['/de-de/sendemail.php', 501, 'text/html'],
    ];
    for (const [rawPath, status, type] of rows) {
      const res = await rawGet(server.port, rawPath);
      assert.equal(res.status, status, rawPath);
      assert.ok(res.type?.startsWith(type), `${rawPath}: ${res.type}`);
      if (rawPath.endsWith('.php')) assert.match(res.body, new RegExp(`php -S 127\\.0\\.0\\.1:${server.port}`));
    }
  });

  test('a second preview on the same port fails with one line; Ctrl-C stops at once, a page open', async () => {
    const second = spawnSync(tool, ['--serve', '--port', String(server.port), path.join(work, 'second')], {
      cwd: server.source,
      encoding: 'utf8',
      timeout: 30_000,
    });
    assert.equal(second.status, 1);
    assert.equal(second.stdout.trim().split('\n').length, 1, second.stdout);
    assert.ok(!fs.existsSync(path.join(work, 'second')), 'nothing built');

    // An open page holds an event stream that waits on the server.
    const page = await context.newPage();
    await page.goto(`${server.urlRoot}/`);
    await page.waitForTimeout(300);
    const start = Date.now();
    const { code } = await server.stop('SIGINT');
    assert.equal(code, 0, server.output());
    assert.ok(Date.now() - start < 5_000, `stopped after ${Date.now() - start} ms`);
    assert.match(server.output(), /\nstopped\n$/);
  });
});
