// Shared by the browser suite: the example's languages, so tests can name what a page shows; the
// output folder the tool expects; servers on a free loopback port; the system's Chromium, kept to them.

import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

export const e2eDir = import.meta.dirname;
export const repoDir = path.resolve(e2eDir, '..', '..');
export const exampleDir = path.join(repoDir, 'examples', 'site');
export const tool = path.resolve(process.env.MAKETARNWICK || `${repoDir}/build/e2e/maketarnwick`);
export const temp = (name) => fs.mkdtempSync(path.join(os.tmpdir(), `mt-${name}-`));

/** Runs a command to its end; throws when it could not start or its status is not `status`. */
export function run(command, args, options = {}, status = 0) {
  const result = spawnSync(command, args, { encoding: 'utf8', timeout: 120_000, ...options });
  const why = result.error?.message ?? (result.status !== status && `status ${result.status}`);
  if (why) assert.fail(`${command} ${args.join(' ')}: ${why}\n${result.stdout}${result.stderr}`);
  return result;
}

// The menu's label keys in order. A label opens the page of its template, titled with the label;
// Support opens some support page; the forum is another application at the host's /forum.
export const MENU = ['HOME', 'DOWNLOADS', 'FAQ', 'SUPPORT', 'FORUMS', 'DONATE', 'CONTACT'];

/** A language of the example: its `KEY = "value"` strings and what the tests derive from them. */
function language(file) {
  const text = fs.readFileSync(file, 'utf8').replace(/^\uFEFF/, '');
  const pairs = [...text.matchAll(/^[ \t]*([^\s=/][^\s=]*)[ \t]*=[ \t]*"([^"]*)/gm)];
  const strings = Object.fromEntries(pairs.map((m) => [m[1].toUpperCase(), m[2]]));
  const str = (key) => strings[key] ?? assert.fail(`${file} does not define ${key}`);
  const format = str('TITLE_FORMAT').split(/\{\{TITLE\}\}/i);
  // The title of the page whose label is the string `key`; the home page's when null.
  const title = (key) => (key === null ? str('HOME_TITLE') : format.join(str(key)));
  const anyTitle = new RegExp(`^${format.map((s) => s.replace(/\W/g, '\\$&')).join('.+')}$`, 's');
  const special = { HOME: title(null), SUPPORT: anyTitle, FORUMS: 'forum' };
  return {
    code: path.basename(file, '.txt').toLowerCase(),
    rtl: strings._LANGUAGE_TEXT_DIRECTION?.toUpperCase() === 'RTL',
    str, title, anyTitle,
    // The folder of the page whose template is KEY_TEMPLATE: the file name less its extension.
    page: (key) => str(`${key}_TEMPLATE`).replace(/\.[^.]*$/, ''),
    linkTitle: (key) => special[key] ?? title(key),
  };
}

export const languages = fs.readdirSync(exampleDir).filter((n) => /^[a-z]+-[a-z]+\.txt$/i.test(n)).sort()
  .map((n) => language(path.join(exampleDir, n)));

/** The sub-sites of one build: the default language once more at the root, then one per language. */
export const subSites = [
  { name: 'root', lang: languages.find((l) => l.code === 'en-us'), prefix: '', root: true },
  ...languages.map((lang) => ({ name: lang.code, lang, prefix: `/${lang.code}` })),
];

export const freePort = () => new Promise((resolve, reject) => {
  const server = net.createServer().on('error', reject).listen(0, '127.0.0.1', () => {
    const { port } = server.address();
    server.close(() => resolve(port));
  });
});

/** A GET with the path sent as written (no ".." resolved); the body of an HTML answer only. */
export const rawGet = (port, rawPath) => new Promise((resolve, reject) => {
  http.get({ host: '127.0.0.1', port, path: rawPath }, (res) => {
    const got = { status: res.statusCode, type: res.headers['content-type'], body: '' };
    if (got.type?.startsWith('text/html')) res.setEncoding('utf8').on('data', (d) => (got.body += d));
    else res.resume();
    res.on('end', () => resolve({ ...got, title: /<title>([^<]*)<\/title>/.exec(got.body)?.[1] }));
  }).on('error', reject);
});

/** The fields of `want` that `got` does not match (a RegExp: matches the field), one line each. */
export const mismatches = (got, want) => Object.entries(want)
  .filter(([k, v]) => (v instanceof RegExp ? !v.test(got[k]) : JSON.stringify(got[k]) !== JSON.stringify(v)))
  .map(([k]) => `${k} ${got[k]}`);

/** An output folder holding what the tool expects there: the release files and the forum. */
export function prepareOutput(out) {
  fs.mkdirSync(path.join(out, 'forum'), { recursive: true });
  fs.writeFileSync(path.join(out, 'forum', 'index.html'), '<!DOCTYPE html>\n<title>forum</title>forum\n');
  run(path.join(repoDir, 'examples', 'release-files.sh'), [out]);
}

/** Starts a server; resolves once it answers on `port` (30 s at most). `stop` resolves with its exit. */
export async function startProcess(command, args, port, options = {}) {
  const child = spawn(command, args, { stdio: ['ignore', 'pipe', 'pipe'], ...options });
  // run.sh kills what is still listed here when the suite ends, however it ends.
  const pidFile = process.env.E2E_PIDDIR && path.join(process.env.E2E_PIDDIR, `${child.pid}.pid`);
  if (pidFile) fs.writeFileSync(pidFile, `${child.pid}\n`);
  let output = '';
  for (const stream of [child.stdout, child.stderr]) stream.on('data', (d) => (output += d));
  const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
  const server = {
    output: () => output,
    async stop(signal = 'SIGTERM') {
      child.kill(signal); // nothing when it has ended
      const timer = setTimeout(() => child.kill('SIGKILL'), 10_000);
      const result = await exited.finally(() => clearTimeout(timer));
      if (pidFile) fs.rmSync(pidFile, { force: true });
      return result;
    },
  };
  const deadline = Date.now() + 30_000;
  while (!(await rawGet(port, '/').catch(() => 0))) {
    if (child.exitCode !== null || Date.now() > deadline) {
      await server.stop();
      assert.fail(`${command} did not start:\n${output}`);
    }
    await new Promise((r) => setTimeout(r, 100));
  }
  return server;
}

/**
 * A Chromium context whose requests to any host but 127.0.0.1 are aborted and listed in
 * `offsite`, and whose resources (not pages) that answered other than 200 are listed in `bad`.
 */
export async function browse() {
  const executablePath = process.env.E2E_CHROMIUM || '/usr/bin/chromium';
  const browser = await chromium.launch({ executablePath, timeout: 60_000 });
  const context = await browser.newContext({ viewport: { width: 1200, height: 900 } });
  Object.assign(context, { offsite: [], bad: [] }).setDefaultTimeout(15_000);
  await context.route('**/*', (route) => {
    if (new URL(route.request().url()).hostname === '127.0.0.1') return route.continue();
    context.offsite.push(route.request().url());
    return route.abort();
  });
  context.on('response', (res) => {
    const page = res.request().isNavigationRequest();
    if (res.status() !== 200 && !page) context.bad.push(`${res.status()} ${res.url()}`);
  });
  return context;
}
