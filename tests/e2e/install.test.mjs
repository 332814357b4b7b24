// `cmake --install` puts the tool and its manual page into a prefix; the page
// renders without warnings and names every message that the tool can print.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';

import { repoDir } from './lib/site.mjs';

const manPage = path.join(repoDir, 'docs', 'maketarnwick.1');

function run(command, args, options = {}) {
  const result = spawnSync(command, args, { encoding: 'utf8', timeout: 120_000, ...options });
  if (result.error) throw result.error;
  return result;
}

test('cmake --install puts the tool and its manual page into the prefix', { skip: !process.env.E2E_BUILD_DIR }, () => {
  const prefix = fs.mkdtempSync(path.join(os.tmpdir(), 'mt-prefix-'));
  try {
    const install = run('cmake', ['--install', path.resolve(process.env.E2E_BUILD_DIR), '--prefix', prefix]);
    assert.equal(install.status, 0, install.stdout + install.stderr);
    const page = path.join(prefix, 'share', 'man', 'man1', 'maketarnwick.1');
    assert.equal(fs.readFileSync(page, 'utf8'), fs.readFileSync(manPage, 'utf8'));

    const usage = run(path.join(prefix, 'bin', 'maketarnwick'), []);
    assert.equal(usage.status, 1);
    assert.match(usage.stdout, /\nusage:\nmaketarnwick\.exe <output folder> <url root>\n/);

    const man = run('man', ['-l', page], { env: { ...process.env, MANWIDTH: '80', MAN_KEEP_FORMATTING: '' } });
    assert.equal(man.status, 0, man.stderr);
    assert.match(man.stdout, /EXIT STATUS/);
  } finally {
    fs.rmSync(prefix, { recursive: true, force: true });
  }
});

test('the manual page renders without a warning', () => {
  const groff = run('groff', ['-ww', '-man', '-Tutf8', manPage]);
  assert.equal(groff.status, 0);
  assert.equal(groff.stderr, '');
});

/** Every message format that the sources print, unescaped. */
function messageFormats() {
  const formats = [];
  const walk = (dir) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
      const file = path.join(dir, entry.name);
      if (entry.isDirectory()) walk(file);
      else if (entry.name.endsWith('.cpp')) {
        const text = fs.readFileSync(file, 'utf8');
        const calls = /(?:diag\.(?:error|warning|note)|out\.write|fputs)\(\s*"((?:[^"\\]|\\.)*)"/g;
        for (const m of text.matchAll(calls)) {
          const format = m[1].replace(/\\n/g, '\n').replace(/\\"/g, '"').replace(/\\\\/g, '\\');
          if (/error|warning|already exists|failed|Unable|out of memory/.test(format)) formats.push(format);
        }
      }
    }
  };
  walk(path.join(repoDir, 'src'));
  return formats;
}

test('the manual page explains every message of the tool', () => {
  // Wide lines keep each message on one line of the rendered text.
  const rendered = run('groff', ['-man', '-Tascii', '-P-cbou', '-rLL=400n', manPage]).stdout.replace(/[ \t]+/g, ' ');
  const formats = messageFormats();
  assert.ok(formats.length >= 15, `found ${formats.length} message formats in src/`);
  const missing = [];
  for (const format of formats) {
    // The fixed words between the values: "%s:%d: warning: still bold" -> "warning: still bold".
    for (const piece of format.split(/%[sd]/)) {
      const words = piece.replace(/^[\s:]+/, '').replace(/\s+$/, '');
      if (/[a-z]/i.test(words) && !rendered.includes(words)) missing.push(`${JSON.stringify(words)} of ${JSON.stringify(format)}`);
    }
  }
  assert.deepEqual(missing, []);
});
