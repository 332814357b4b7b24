// The language switch of the example site built with LANGUAGE_SWITCH on: it keeps the reader on
// the same support page in the other language, and marks the right-to-left language as such.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { browse, e2eDir, exampleDir, freePort, prepareOutput, run, startProcess, temp, tool } from './lib.mjs';

const work = temp('languages');
const source = path.join(work, 'source');
const out = path.join(work, 'site');
let root, server, context;

before(async () => {
  fs.cpSync(exampleDir, source, { recursive: true });
  fs.appendFileSync(path.join(source, 'maketarnwick.conf'), '\nALTERNATE_LINKS = "on"\nLANGUAGE_SWITCH = "on"\n');
  const port = await freePort();
  root = `http://127.0.0.1:${port}`;
  prepareOutput(out);
  run(tool, [out, root], { cwd: source });
  server = await startProcess('php', ['-S', `127.0.0.1:${port}`, '-t', out, `${e2eDir}/router.php`], port);
  context = await browse();
});
after(async () => {
  await context?.browser().close();
  await server?.stop();
  fs.rmSync(work, { recursive: true, force: true });
});

test('the switch on a support page leads to the same support page in the other language', async () => {
  const page = await context.newPage();
  await page.goto(`${root}/de-de/support/wendrel/suchen/`);
  const arabic = page.locator('.languageswitch a[hreflang="ar-SA"]');
  assert.equal(await arabic.getAttribute('dir'), 'rtl');
  assert.equal(await page.locator('.languageswitch a[dir="rtl"]').count(), 1);
  const [response] = await Promise.all([page.waitForNavigation(),
    page.locator('.languageswitch a[hreflang="en-US"]').click()]);
  assert.equal(response.status(), 200);
  assert.equal(new URL(page.url()).pathname, '/support/wendrel/searching/');
  assert.equal(await page.evaluate(() => document.documentElement.lang), 'en-US');
  assert.deepEqual(context.bad, []);
});
