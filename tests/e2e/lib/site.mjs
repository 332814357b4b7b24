// Builds the example site with the tool, serves it with PHP's built-in
// server on a free loopback port, and reads the example's language files so
// the tests can name what each page should show.

import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
export const e2eDir = path.resolve(here, '..');
export const repoDir = path.resolve(e2eDir, '..', '..');
export const exampleDir = path.join(repoDir, 'examples', 'site');
export const tool = path.resolve(process.env.MAKETARNWICK || path.join(repoDir, 'build', 'e2e', 'maketarnwick'));

const HOST = '127.0.0.1';

/** A port that nothing listens on right now. */
export function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.unref();
    server.on('error', reject);
    server.listen(0, HOST, () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

/** Reads a language file: `KEY = "value"` lines, `//` comments. */
export function readLanguageFile(file) {
  const strings = {};
  let text = fs.readFileSync(file, 'utf8');
  if (text.charCodeAt(0) === 0xfeff) text = text.slice(1);
  for (const line of text.split(/\r?\n/)) {
    const m = /^\s*([^\s=/][^\s=]*)\s*=\s*"([^"]*)/.exec(line);
    if (m) strings[m[1].toUpperCase()] = m[2];
  }
  return strings;
}

/** The example's languages in the order of their file names. */
export function exampleLanguages() {
  return fs
    .readdirSync(exampleDir)
    .filter((name) => name.toLowerCase().endsWith('.txt') && !name.startsWith('{{'))
    .filter((name) => fs.statSync(path.join(exampleDir, name)).isFile())
    .sort((a, b) => a.toLowerCase().localeCompare(b.toLowerCase()))
    .map((name) => {
      const strings = readLanguageFile(path.join(exampleDir, name));
      const code = name.slice(0, name.indexOf('.')).toLowerCase();
      const rtl = (strings._LANGUAGE_TEXT_DIRECTION || '').toUpperCase() === 'RTL';
      return { code, strings, rtl };
    });
}

/** The string `key` of a language; a missing one fails the test loudly. */
export function str(lang, key) {
  const value = lang.strings[key];
  if (value === undefined) throw new Error(`example language ${lang.code} does not define ${key}`);
  return value;
}

/** The name of a template page's folder: the template file name less its extension. */
export function pageName(lang, templateKey) {
  const file = str(lang, templateKey);
  const dot = file.lastIndexOf('.');
  return dot < 0 ? file : file.slice(0, dot);
}

/** The title a page named `name` carries (the home page when name is null). */
export function expectedTitle(lang, name) {
  if (name === null) return str(lang, 'HOME_TITLE');
  return str(lang, 'TITLE_FORMAT').replace(/\{\{TITLE\}\}/gi, () => name);
}

/** A pattern that any page title made from TITLE_FORMAT matches. */
export function titlePattern(lang) {
  const parts = str(lang, 'TITLE_FORMAT').split(/\{\{TITLE\}\}/i);
  const escape = (s) => s.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
  return new RegExp(`^${parts.map(escape).join('.+')}$`, 's');
}

/**
 * An output folder with what the tool expects there already: the release
 * files and the forum (a separate application on the same host, linked
 * from the menu).
 */
export function prepareOutput(out) {
  fs.mkdirSync(path.join(out, 'forum'), { recursive: true });
  fs.writeFileSync(path.join(out, 'forum', 'index.html'), '<!DOCTYPE html>\n<html><head><title>forum</title></head><body>forum</body></html>\n');
  const release = spawnSync(path.join(repoDir, 'examples', 'release-files.sh'), [out], { encoding: 'utf8' });
  if (release.status !== 0) throw new Error(`release-files.sh failed:\n${release.stdout}${release.stderr}`);
}

/**
 * Builds the example site into a fresh temporary folder for the URL root
 * http://127.0.0.1:PORT. Returns the output folder, the tool's output and
 * the root-relative URLs that its final link check reported.
 */
export function buildSite(port) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'mt-e2e-'));
  const out = path.join(work, 'site');
  const urlRoot = `http://${HOST}:${port}`;
  const run = (command, args, options) => {
    const result = spawnSync(command, args, { encoding: 'utf8', timeout: 120_000, ...options });
    if (result.error || result.status !== 0) throw new Error(`${command} failed: ${result.error?.message ?? ''}\n${result.stdout}${result.stderr}`);
    return result;
  };
  prepareOutput(out);
  const { stdout, stderr } = run(tool, [out, urlRoot], { cwd: exampleDir });
  const reported = new Set([...stdout.matchAll(/^.*?:\d+: warning: broken url (.*)$/gm)].map((m) => m[1]));
  const summary = /^(\d+) error\(s\), (\d+) warning\(s\)$/m.exec(stdout);
  return {
    work, out, port, urlRoot, reported,
    log: stdout + stderr,
    errors: summary ? Number(summary[1]) : NaN,
    warnings: summary ? Number(summary[2]) : NaN,
    remove: () => fs.rmSync(work, { recursive: true, force: true }),
  };
}

/**
 * The sites of one build: the root site (the default language once more,
 * URL prefix "") and one per language (prefix "/code").
 */
export function sitesOf(languages) {
  const fallback = languages.find((l) => l.code === 'en-us') || languages[0];
  return [
    { name: 'root', lang: fallback, prefix: '', rootBuild: true },
    ...languages.map((lang) => ({ name: lang.code, lang, prefix: `/${lang.code}`, rootBuild: false })),
  ];
}

const children = new Set();

// A process left behind would hold the port for the next run: kill what is
// still running when this process ends, whatever way it ends.
process.on('exit', () => {
  for (const child of children) child.kill('SIGKILL');
});

/**
 * Starts a server process; resolves once `ready(output)` resolves true
 * (polled every 100 ms, for 30 s). `output()` is all it printed; `stop(signal)`
 * ends it (killed after 10 s) and resolves with its exit {code, signal}.
 */
export async function startProcess(command, args, ready, options = {}) {
  const child = spawn(command, args, { stdio: ['ignore', 'pipe', 'pipe'], ...options });
  children.add(child);
  const pidFile = process.env.E2E_PIDDIR && path.join(process.env.E2E_PIDDIR, `${child.pid}.pid`);
  if (pidFile) fs.writeFileSync(pidFile, `${child.pid}\n`);
  let output = '';
  child.stdout.on('data', (d) => (output += d));
  child.stderr.on('data', (d) => (output += d));
  const exited = new Promise((resolve) => child.on('exit', (code, signal) => resolve({ code, signal })));
  const server = {
    child,
    output: () => output,
    async stop(signal = 'SIGTERM') {
      if (child.exitCode === null && child.signalCode === null) child.kill(signal);
      const timer = setTimeout(() => child.kill('SIGKILL'), 10_000);
      const result = await exited;
      clearTimeout(timer);
      children.delete(child);
      if (pidFile) fs.rmSync(pidFile, { force: true });
      return result;
    },
  };
  const deadline = Date.now() + 30_000;
  while (!(await ready(output).catch(() => false))) {
    if (child.exitCode !== null || child.signalCode !== null) throw new Error(`${command} ended at once:\n${output}`);
    if (Date.now() > deadline) {
      await server.stop();
      throw new Error(`${command} did not start within 30 s:\n${output}`);
    }
    await new Promise((r) => setTimeout(r, 100));
  }
  return server;
}

/** Serves `site.out` with `php -S` on the site's port; `ini` holds extra `-d` settings. */
export function startPhp(site, ini = {}) {
  const args = Object.entries(ini).flatMap(([key, value]) => ['-d', `${key}=${value}`]);
  args.push('-S', `${HOST}:${site.port}`, '-t', site.out, path.join(e2eDir, 'router.php'));
  return startProcess('php', args, async () => {
    await (await fetch(`${site.urlRoot}/`, { signal: AbortSignal.timeout(2000) })).arrayBuffer();
    return true;
  });
}

/** Every page file of the output tree as its URL under the URL root. */
export function pageUrls(site) {
  const urls = [];
  const walk = (dir, rel) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
      if (entry.isDirectory()) walk(path.join(dir, entry.name), `${rel}/${entry.name}`);
      else if (entry.name === 'index.html') urls.push(`${site.urlRoot}${rel}/`);
    }
  };
  walk(site.out, '');
  return urls.sort();
}
