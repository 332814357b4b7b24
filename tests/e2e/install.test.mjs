// `cmake --install` puts the tool and its manual page into a prefix; the page
// renders without warnings. Its message list is checked against the message
// table by tests/diag/messages_test.cpp.

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
