// The contact form of every sub-site posted in Chromium to the contact
// script that the tool writes, run by PHP's built-in server: once without a
// mail transport and once with a sendmail stand-in that stores the mails.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';

import { openSite, visit } from './lib/browser.mjs';
import { e2eDir, exampleLanguages, expectedTitle, pageName, sitesOf, startPhp, str } from './lib/site.mjs';

const sites = sitesOf(exampleLanguages());
// Warnings and notices are shown, and nothing is buffered: a message that
// PHP prints before header() then breaks the redirect, as on such a host.
const STRICT = { display_errors: '1', error_reporting: String(32767), output_buffering: '0' };
const GREETING = 'Grüße, привет, مرحبا';

// What a visitor sends and where it must land. `mail`: the stored mail's
// sender line and body (null: nothing is sent); `email` is set as the
// field's raw value, so a line break reaches the script as posted. A null
// message opens the script without the form (a bookmark, a crawler).
const FORMS = [
  { name: 'no mail transport', transport: false, message: 'Hello', email: 'visitor@example.org', lands: 'CONTACTERROR' },
  { name: 'a message with an address', message: GREETING, email: 'visitor@example.org', lands: 'CONTACTOK', mail: `From: visitor@example.org\n${GREETING}` },
  { name: 'no address: the no-reply sender', message: 'No address', email: '', lands: 'CONTACTOK', mail: 'From: no-reply@tarnwick.example\nNo address' },
  { name: 'a line break in the address would inject headers', message: 'Injected', email: 'visitor@example.org\r\nBcc: victim@example.org', lands: 'CONTACTERROR', mail: null },
  { name: 'an empty form', message: '', email: '', lands: 'CONTACTERROR', mail: null },
  // Regression: the script read the two request keys unguarded, PHP 8 warned
  // first, and with display_errors on that output broke the redirect.
  { name: 'the script opened without a form', message: null, lands: 'CONTACTERROR', mail: null },
];

let s;
let store;

before(async () => {
  s = await openSite({ ini: null });
  store = path.join(s.site.work, 'mail');
  fs.mkdirSync(store);
});

after(async () => s?.close());

const mails = () => fs.readdirSync(store).filter((n) => n.endsWith('.eml')).sort();

/** Sends `form` on the contact page of `sub`; where the visitor landed, and what was posted. */
async function send(sub, form) {
  const page = await s.context.newPage();
  try {
    const script = `${s.site.urlRoot}${sub.prefix}/sendemail.php`;
    if (form.message === null) return await visit(page, script);
    await page.goto(`${s.site.urlRoot}${sub.prefix}/${pageName(sub.lang, 'CONTACT_TEMPLATE')}`);
    await page.fill('form textarea[name="message"]', form.message);
    await page.$eval('form input[name="email"]', (input, value) => {
      input.type = 'hidden'; // a text field would strip line breaks
      input.value = value;
    }, form.email);
    const posted = page.waitForRequest((r) => r.url().endsWith('/sendemail.php'));
    const got = await visit(page, null, 'form input[type="submit"]');
    return { ...got, posted: (await posted).postData() };
  } finally {
    await page.close();
  }
}

for (const transport of [false, true]) {
  test(`contact forms ${transport ? 'with a mail store' : 'without a mail transport'}`, { timeout: 300_000 }, async () => {
    const sendmail = transport ? `${path.join(e2eDir, 'sendmail-stub.sh')} ${store}` : '/nonexistent/sendmail -t -i';
    const server = await startPhp(s.site, { ...STRICT, sendmail_path: sendmail });
    const problems = [];
    try {
      for (const sub of sites) {
        for (const form of FORMS.filter((f) => (f.transport ?? true) === transport)) {
          const seen = mails();
          const got = await send(sub, form);
          const lands = `${s.site.urlRoot}${sub.prefix}/${pageName(sub.lang, `${form.lands}_TEMPLATE`)}`;
          const where = { url: got.url, status: got.status, title: got.title };
          const expected = { url: lands, status: 200, title: expectedTitle(sub.lang, str(sub.lang, form.lands)) };
          if (JSON.stringify(where) !== JSON.stringify(expected)) problems.push(`${sub.name}, ${form.name}: landed on ${JSON.stringify(where)}`);
          const sent = mails().filter((n) => !seen.includes(n)).map((n) => fs.readFileSync(path.join(store, n), 'utf8'));
          const ok = form.mail ? sent.length === 1 && /^Subject: tarnwick - Contact form$/m.test(sent[0]) && sent[0].includes(form.mail) : sent.length === 0;
          if (!ok) problems.push(`${sub.name}, ${form.name}: mails ${JSON.stringify(sent)}`);
          if (form.email?.includes('\n') && !/email=visitor%40example\.org%0D%0ABcc/.test(got.posted)) problems.push(`${sub.name}, ${form.name}: the line break was not posted`);
        }
      }
    } finally {
      await server.stop();
    }
    assert.deepEqual(problems, []);
    assert.doesNotMatch(server.output(), /PHP (Warning|Notice|Deprecated|Fatal)/);
  });
}
