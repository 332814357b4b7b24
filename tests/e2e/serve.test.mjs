// The preview: `--serve` on a copy of the example site, so the test can edit a template and
// watch open pages reload, one and a dozen; what every menu link, file, missing page and request
// that tries to leave the output folder answers; a second preview on the same port (Ctrl-C with a
// page open, other hosts, ranges, large files: tests/serve/preview.sh). Then the installed tool
// and its manual page.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { MENU, browse, exampleDir, freePort, languages, mismatches, prepareOutput, rawGet, repoDir, run,
  startProcess, temp, tool } from './lib.mjs';

const lang = languages.find((l) => l.code === 'en-us');
const work = temp('serve');
const source = path.join(work, 'source');
const out = path.join(work, 'out');
let port, server, context;

before(async () => {
  fs.cpSync(exampleDir, source, { recursive: true });
  prepareOutput(out);
  fs.symlinkSync(source, path.join(out, 'outside')); // a link out of the output folder, to the sources
  port = await freePort();
  server = await startProcess(tool, ['--serve', '--port', String(port), out], port, { cwd: source });
  context = await browse();
});

after(async () => {
  await context?.browser().close();
  await server?.stop('SIGINT');
  fs.rmSync(work, { recursive: true, force: true });
});

test('the files on disk are what a plain build writes', () => {
  prepareOutput(path.join(work, 'plain'));
  run(tool, [path.join(work, 'plain'), `http://127.0.0.1:${port}`], { cwd: source });
  run('diff', ['-r', '-q', '-x', 'outside', out, path.join(work, 'plain')]);
});

test('an open page reloads with its edited template within 2 seconds', { timeout: 30_000 }, async () => {
  const page = await context.newPage();
  assert.equal((await page.goto(`http://127.0.0.1:${port}/faq`))?.status(), 200);
  await page.waitForTimeout(300); // the event stream is open before the edit, as on a page someone reads
  const marker = `Edited while previewing ${Date.now()}`;
  const reloaded = page.waitForEvent('load', { timeout: 2_000 });
  const start = Date.now();
  fs.appendFileSync(path.join(source, 'en-us', lang.str('FAQ_TEMPLATE')), `\n${marker}\n`);
  await reloaded;
  assert.ok(Date.now() - start < 2_000, `reloaded after ${Date.now() - start} ms`);
  assert.ok((await page.content()).includes(marker), 'the reloaded page shows the edit');
  assert.match(server.output(), /rebuilt in \d+\.\d+ s/);
  await page.close();
});

test('a dozen open pages all load and all reload after one edit', { timeout: 120_000 }, async () => {
  // Browsers open about six connections to a host: a stream held by every page would leave the
  // seventh page waiting for ever. The pages share one stream.
  const pages = [];
  for (let i = 1; i <= 12; i++) {
    const page = await context.newPage();
    pages.push(page);
    assert.equal((await page.goto(`http://127.0.0.1:${port}/faq`, { timeout: 20_000 }))?.status(), 200, `page ${i}`);
  }
  await pages[0].waitForTimeout(300);
  const reloaded = Promise.all(pages.map((page) => page.waitForEvent('load', { timeout: 20_000 })));
  fs.appendFileSync(path.join(source, 'en-us', lang.str('FAQ_TEMPLATE')), `\nEdited under ${pages.length} pages\n`);
  await reloaded;
  await Promise.all(pages.map((page) => page.close()));
});

test('menu pages, files, the contact script; missing or outside paths get the error page', async () => {
  const home = (await rawGet(port, '/')).body;
  const menu = [...home.matchAll(/<div class="(?:cur)?menuitem"><a href="([^"]*)">([^<]*)</g)];
  assert.deepEqual(menu.map((m) => m[2]), MENU.map((key) => lang.str(key)));
  const html = (status, title) => ({ status, type: /^text\/html/, ...(title && { title }) });
  // The contact script needs PHP: the answer says how to serve the site with it.
  const php = { ...html(501), body: new RegExp(`php -S 127\\.0\\.0\\.1:${port}`) };
  const rows = [
    ...menu.map((m, i) => [new URL(m[1], 'http://127.0.0.1').pathname, html(200, lang.linkTitle(MENU[i]))]),
    ['/faq/', html(200, lang.title('FAQ'))],
    ['/screenshot.png', { status: 200, type: /^image\/png/ }],
    ['/rss.xml', { status: 200, type: /^application\/xml/ }],
    ['/sendemail.php', php],
    ['/de-de/sendemail.php', php],
    ...['/no-such-page', '/faq/no-such-file.png', '/../', '/../source/en-us.txt', '/%2e%2e/source/en-us.txt',
      '/%2E%2E%2Fsource%2Fen-us.txt', '/faq/..%2f..%2f..%2fsource/en-us.txt', '//etc/passwd',
      `/${encodeURIComponent(source)}/en-us.txt`, '/outside/en-us.txt', '/outside/',
    ].map((p) => [p, html(404, lang.title('ERROR404'))]),
  ];
  const problems = [];
  for (const [rawPath, want] of rows) {
    problems.push(...mismatches(await rawGet(port, rawPath), want).map((m) => `${rawPath}: ${m}`));
  }
  assert.deepEqual(problems, []);
});

test('a second preview on the same port fails with one line', () => {
  const second = run(tool, ['--serve', '--port', `${port}`, path.join(work, 'second')], { cwd: source }, 1);
  assert.equal(second.stdout.trim().split('\n').length, 1, second.stdout);
  assert.ok(!fs.existsSync(path.join(work, 'second')), 'nothing built');
});

const skip = !process.env.E2E_BUILD_DIR;
test('cmake --install puts the tool and its manual page into the prefix', { skip }, (t) => {
  const prefix = temp('prefix');
  t.after(() => fs.rmSync(prefix, { recursive: true, force: true }));
  run('cmake', ['--install', path.resolve(process.env.E2E_BUILD_DIR), '--prefix', prefix]);
  const page = path.join(prefix, 'share', 'man', 'man1', 'maketarnwick.1');
  assert.ok(fs.readFileSync(page).equals(fs.readFileSync(path.join(repoDir, 'docs', 'maketarnwick.1'))));
  const usage = run(path.join(prefix, 'bin', 'maketarnwick'), [], {}, 1).stdout;
  assert.match(usage, /\nusage:\nmaketarnwick\.exe <output folder> <url root>\n/);
  assert.equal(run('groff', ['-ww', '-man', '-Tutf8', page]).stderr, '');
  const env = { ...process.env, MANWIDTH: '80', MAN_KEEP_FORMATTING: '' };
  assert.match(run('man', ['-l', page], { env }).stdout, /EXIT STATUS/);
});
