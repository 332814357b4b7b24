// `cmake --install` puts the tool and its manual page into a prefix, and the page renders without
// a warning. Its message list is checked against the message table by tests/diag/messages_test.cpp.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';

import { repoDir, run, temp } from './lib.mjs';

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
