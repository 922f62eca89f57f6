// The published sample lesson in WebKitGTK's MiniBrowser, driven over
// WebDriver classic (WebKitWebDriver at SCENOVA_WEBDRIVER) with no client
// library: the learner's key cases of tests/web/story.test.mjs. SCENOVA_SITE
// names the published folder, SCENOVA_ADDRESS where it is served.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const site = process.env.SCENOVA_SITE;
const driver = process.env.SCENOVA_WEBDRIVER || 'http://127.0.0.1:4444';
let session;
const cleanups = [];

async function call(method, at, body) {
  const response = await fetch(`${driver}${at}`, {
    method, headers: { 'content-type': 'application/json' }, body: body && JSON.stringify(body),
    signal: AbortSignal.timeout(30000),
  });
  const { value } = await response.json();
  if (!response.ok) throw new Error(`${method} ${at}: ${value.error}: ${value.message}`);
  return value;
}
const run = (body, ...args) => call('POST', `/session/${session}/execute/sync`, { script: body, args });
const key = (value) => call('POST', `/session/${session}/actions`, {
  actions: [{ type: 'key', id: 'keyboard', actions: [{ type: 'keyDown', value }, { type: 'keyUp', value }] }],
});
// Polls a script until it returns a true value, at most `ms`: that value.
async function until(body, ms, ...args) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await run(body, ...args);
    if (value) return value;
    if (Date.now() > end) assert.fail(`not within ${ms} ms: ${body}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// The lesson at an address, started (the page loaded, as WebDriver waits).
async function open(address) {
  await call('POST', `/session/${session}/url`, { url: address });
  await until('return document.body.dataset.started === "1"', 15000);
}

const lit = 'return [...document.querySelectorAll("#rtfText [aria-selected=true]")].map((l) => l.textContent).join("\\n")';

before(async () => {
  assert.ok(site, 'SCENOVA_SITE names the published sample');
  ({ sessionId: session } = await call('POST', '/session', { capabilities: { alwaysMatch: {
    'webkitgtk:browserOptions': { binary: process.env.MINIBROWSER, args: ['--automation'] },
  } } }));
});

after(async () => {
  if (session) await call('DELETE', `/session/${session}`);
  for (const cleanup of cleanups) cleanup();
});

test('webkit: the lesson starts without a message; Space plays it and block 2 is lit by its cue', { timeout: 60000 }, async () => {
  await open(process.env.SCENOVA_ADDRESS);
  assert.equal(await run('return document.querySelector("#reports").textContent'), '');
  await key(' ');
  await until(`${lit}.includes("How much are the apples")`, 7000);
  assert.ok(!(await run(lit)).includes('Saturday morning'));
});

test('webkit: each block the slider goes to is lit wholly in view, its first line at the top', { timeout: 60000 }, async () => {
  await open(process.env.SCENOVA_ADDRESS);
  for (const [value, words] of [[5, 'Here you are'], [2, 'How much are the apples'], [7, 'walks on to the bakery']]) {
    await run('const input = document.querySelector("#sldVideoSlider input"); input.value = arguments[0];'
      + 'input.dispatchEvent(new Event("input", { bubbles: true }));', value);
    await until(`${lit}.includes(arguments[0])`, 3000, words);
    const [outside, below] = await run(`const box = document.querySelector('#rtfText');
      const view = box.getBoundingClientRect();
      const lines = [...box.querySelectorAll('[aria-selected=true]')];
      return [lines.filter((l) => { const r = l.getBoundingClientRect();
        return r.top < view.top - 0.5 || r.bottom > view.top + box.clientHeight + 0.5; }).map((l) => l.textContent),
        lines[0].getBoundingClientRect().top - view.top];`);
    assert.deepEqual(outside, [], `block ${value}`);
    assert.ok(value === 7 || Math.abs(below) <= 1, `block ${value}'s first line ${below} px below the top`);
  }
});

// WebKit finds no picture in it as the page measures it, before Play.
test('webkit: a movie the browser cannot decode is told by its name, with what to do', { timeout: 60000 }, async () => {
  // A copy of the site whose WebM claims the other codec for its pictures.
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'spoilt-'));
  cleanups.push(() => fs.rmSync(copy, { recursive: true, force: true }));
  fs.cpSync(site, copy, { recursive: true });
  const movie = JSON.parse(fs.readFileSync(path.join(copy, 'lesson.json'))).movies[0];
  const file = path.join(copy, movie.address);
  const spoilt = fs.readFileSync(file);
  spoilt.write('V_VP8', spoilt.indexOf('V_VP9'));
  fs.writeFileSync(file, spoilt);
  const server = spawn('python3', [path.join(here, '../../scripts/serve-site'), copy, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  cleanups.push(() => server.kill());
  await open(String((await once(server.stdout, 'data'))[0]).trim());
  await key(' ');
  const told = await until('const f = document.querySelector("#movOrvMovie .failure"); return !f.hidden && f.textContent', 8000)
    .catch(async (error) => assert.fail(`${error.message}\n${JSON.stringify(await run(`const v = document.querySelector('#movOrvMovie video');
      return [v.currentTime, v.paused, v.readyState, v.error?.code, v.getVideoPlaybackQuality?.().totalVideoFrames, v.buffered.length && v.buffered.end(0), document.querySelector('#reports').textContent]`))}`));
  assert.ok(told.startsWith(`The video ${movie.name} cannot be played from ${movie.address}: `) &&
    told.endsWith('publish the lesson again.'), told);
});
