// The control contract suites on the browser platform's controls, in the
// page that runs them (SCENOVA_CONTROLS: build/wasm/web-tests).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));

test('the control contracts pass on the page\'s elements', async () => {
  const folder = process.env.SCENOVA_CONTROLS;
  assert.ok(folder, 'SCENOVA_CONTROLS names the built suites');
  const server = spawn('python3', [path.join(here, '../../scripts/serve-site'), folder, '0'], {
    stdio: ['ignore', 'pipe', 'inherit'],
  });
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required'],
  });
  try {
    const address = String((await once(server.stdout, 'data'))[0]).trim();
    const page = await browser.newPage();
    const output = [];
    page.on('console', (m) => output.push(m.text()));
    page.on('pageerror', (e) => output.push(`page error: ${e.message}`));
    await page.goto(`${address}controls.html?filter=${process.env.GTEST_FILTER || '*'}`, { waitUntil: 'load' });
    await page.waitForFunction(() => window.testStatus !== undefined, { timeout: 60000 })
      .catch((error) => assert.fail(`${error.message}\n${output.join('\n')}`));
    const status = await page.evaluate(() => window.testStatus);
    const text = output.join('\n');
    assert.equal(status, 0, text);
    assert.match(text, /\[ {2}PASSED {2}\] \d+ tests/);
    assert.doesNotMatch(text, /page error/);
  } finally {
    await browser.close();
    server.kill();
  }
});
