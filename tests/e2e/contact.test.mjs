// The contact form of every sub-site posted in Chromium to the contact
// script that the tool writes, run by PHP's built-in server: once without a
// mail transport and once with a sendmail stand-in that stores the mails.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { launch, loopbackContext } from './lib/browser.mjs';
import { buildSite, e2eDir, exampleLanguages, expectedTitle, freePort, pageName, sitesOf, startPhp, str } from './lib/site.mjs';

const languages = exampleLanguages();
const sites = sitesOf(languages);
// The sender the contact script uses when the visitor leaves the address empty.
const NO_REPLY = 'no-reply@tarnwick.example';
// Warnings and notices are shown, and nothing is buffered: a message that
// PHP prints before header() then breaks the redirect, as on such a host.
const STRICT = { display_errors: '1', error_reporting: String(32767), output_buffering: '0' };

let site;
let browser;
let context;

before(async () => {
  site = buildSite(await freePort());
  browser = await launch();
  context = await loopbackContext(browser);
});

after(async () => {
  await context?.close();
  await browser?.close();
  site?.remove();
});

/**
 * Opens the contact page of `s`, fills the form and sends it. `email` is
 * set as the field's raw value (a hidden field keeps line breaks, which a
 * text field would strip). Returns where the visitor landed and what the
 * contact script answered.
 */
async function submit(s, { message, email }) {
  const page = await context.newPage();
  try {
    const contact = `${site.urlRoot}${s.prefix}/${pageName(s.lang, 'CONTACT_TEMPLATE')}`;
    assert.equal((await page.goto(contact))?.status(), 200, contact);
    const script = { status: null, body: '', location: null, posted: null };
    page.on('response', async (response) => {
      if (!response.url().endsWith('/sendemail.php')) return;
      script.status = response.status();
      script.location = response.headers().location ?? null;
      script.posted = response.request().postData();
      if (script.status === 200) script.body = await response.text().catch(() => '');
    });
    await page.fill('form textarea[name="message"]', message);
    await page.$eval('form input[name="email"]', (input, value) => {
      input.type = 'hidden';
      input.value = value;
    }, email);
    const [response] = await Promise.all([
      page.waitForNavigation({ waitUntil: 'load' }),
      page.click('form input[type="submit"]'),
    ]);
    return { url: page.url(), status: response?.status(), title: await page.title(), script };
  } finally {
    await page.close();
  }
}

function landing(s, templateKey, titleKey) {
  return {
    url: `${site.urlRoot}${s.prefix}/${pageName(s.lang, templateKey)}`,
    status: 200,
    title: expectedTitle(s.lang, str(s.lang, titleKey)),
  };
}

function where(result) {
  return { url: result.url, status: result.status, title: result.title };
}

function explain(result) {
  return `the contact script answered ${result.script.status} ${result.script.location ?? ''}\n${result.script.body}`;
}

describe('without a mail transport', () => {
  let server;
  before(async () => {
    server = await startPhp(site, { ...STRICT, sendmail_path: '/nonexistent/sendmail -t -i' });
  });
  after(async () => {
    await server?.stop();
  });

  for (const s of sites) {
    test(`${s.name}: a sent form lands on the contact-error page`, { timeout: 60_000 }, async () => {
      const result = await submit(s, { message: 'Hello', email: 'visitor@example.org' });
      assert.deepEqual(where(result), landing(s, 'CONTACTERROR_TEMPLATE', 'CONTACTERROR'), explain(result));
      assert.equal(result.script.status, 302, explain(result));
    });
  }
});

describe('with a mail store', () => {
  let server;
  let store;
  before(async () => {
    store = path.join(site.work, 'mail');
    fs.mkdirSync(store);
    server = await startPhp(site, { ...STRICT, sendmail_path: `${path.join(e2eDir, 'sendmail-stub.sh')} ${store}` });
  });
  after(async () => {
    await server?.stop();
  });

  const mails = () => fs.readdirSync(store).filter((n) => n.endsWith('.eml')).sort();
  const newMails = (before) => mails().filter((n) => !before.includes(n)).map((n) => fs.readFileSync(path.join(store, n), 'utf8'));

  for (const s of sites) {
    test(`${s.name}: the contact script mails the message or refuses it`, { timeout: 60_000 }, async () => {
      {
        // A message with an address: mailed, visitor thanked.
        const seen = mails();
        const message = `Hello from ${s.name}: Grüße, привет, مرحبا`;
        const result = await submit(s, { message, email: 'visitor@example.org' });
        assert.deepEqual(where(result), landing(s, 'CONTACTOK_TEMPLATE', 'CONTACTOK'), explain(result));
        const sent = newMails(seen);
        assert.equal(sent.length, 1, 'one mail stored');
        assert.match(sent[0], /^Subject: tarnwick - Contact form$/m);
        assert.ok(sent[0].includes(`From: visitor@example.org\n${message}`), sent[0]);
      }
      {
        // Without an address the no-reply sender stands in.
        const seen = mails();
        const result = await submit(s, { message: 'No address given', email: '' });
        assert.deepEqual(where(result), landing(s, 'CONTACTOK_TEMPLATE', 'CONTACTOK'), explain(result));
        const sent = newMails(seen);
        assert.equal(sent.length, 1, 'one mail stored');
        assert.ok(sent[0].includes(`From: ${NO_REPLY}\nNo address given`), sent[0]);
      }
      {
        // A line break in the address would smuggle in mail headers.
        const seen = mails();
        const result = await submit(s, { message: 'Injected', email: 'visitor@example.org\r\nBcc: victim@example.org' });
        assert.match(result.script.posted ?? '', /email=visitor%40example\.org%0D%0ABcc/, 'the line break was posted');
        assert.deepEqual(where(result), landing(s, 'CONTACTERROR_TEMPLATE', 'CONTACTERROR'), explain(result));
        assert.deepEqual(newMails(seen), [], 'nothing was sent');
      }
      {
        // An empty form sends nothing.
        const seen = mails();
        const result = await submit(s, { message: '', email: '' });
        assert.deepEqual(where(result), landing(s, 'CONTACTERROR_TEMPLATE', 'CONTACTERROR'), explain(result));
        assert.deepEqual(newMails(seen), [], 'nothing was sent');
      }
    });
  }

  test('the contact script printed no PHP warning', () => {
    assert.doesNotMatch(server.output(), /PHP (Warning|Notice|Deprecated|Fatal)/);
  });

  // Opening the script without the form (a bookmark, a crawler) is an empty
  // form and belongs on the contact-error page. Regression: the script read
  // the two request keys unguarded, PHP 8 warned about them first, and with
  // display_errors on that output broke the redirect ("headers already sent").
  test(
    'opening the contact script without a form lands on the contact-error page',
    async () => {
      const page = await context.newPage();
      try {
        for (const s of sites) {
          const response = await page.goto(`${site.urlRoot}${s.prefix}/sendemail.php`);
          const result = { url: page.url(), status: response?.status(), title: await page.title() };
          assert.deepEqual(result, landing(s, 'CONTACTERROR_TEMPLATE', 'CONTACTERROR'), await page.content());
        }
      } finally {
        await page.close();
      }
    },
  );
});
