// The browser platform's figures for the published sample lesson in headless
// Chromium: the first video frame after navigation, the module's size
// gzipped, how late each cue's highlight comes (media time from the cue to
// the lines' aria-selected), and the browser's CPU over the lesson beside
// the same WebM in a bare <video> page.
//   node bench/web.mjs SITE [RUNS]     (SITE: a `scenova publish` of examples/market)
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';
import puppeteer from '../tests/web/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js';

const here = path.dirname(fileURLToPath(import.meta.url));
const site = process.argv[2];
const runs = Number(process.argv[3] || 3);
// The cue times of examples/market/script.txt.
const cues = [0.5, 5.1, 8.14, 15.33, 18, 21.3, 24.02];
const lessonSeconds = 27;

// User and system CPU seconds of this benchmark's browser: its process and
// every process below it (renderers, GPU, utility), not another browser's.
// A process that ended meanwhile took its time with it: the figures are
// differences over a run, in which the browser's processes stay.
function browserCpu() {
  const children = new Map();
  const ticks = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      const parent = fields[1];
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(pid);
      ticks.set(pid, Number(fields[11]) + Number(fields[12]));
    } catch { /* gone meanwhile */ }
  }
  let total = 0;
  const pending = [String(browser.process().pid)];
  while (pending.length) {
    const pid = pending.pop();
    total += ticks.get(pid) || 0;
    pending.push(...(children.get(pid) || []));
  }
  return total / 100;
}

const percentile = (values, p) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil((p / 100) * sorted.length) - 1)];
};

const server = spawn('python3', [path.join(here, '../scripts/serve-site'), site, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
const address = String((await once(server.stdout, 'data'))[0]).trim();
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--mute-audio', '--autoplay-policy=no-user-gesture-required'],
});

const firstFrames = [];
const marks = [];
const lateness = [];
let lessonCpu = 0;
for (let run = 0; run < runs; run++) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    // The first painting with a frame of the video in the shown lesson window.
    const look = (now) => {
      const v = document.querySelector('#frmScenova:not([hidden]) #lesson-video');
      if (v && v.readyState >= 2) window.firstFrame = now;
      else requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
    window.lateness = [];
    new MutationObserver((changes) => {
      const v = document.querySelector('#movOrvMovie video');
      for (const c of changes) {
        if (c.target.getAttribute('aria-selected') === 'true' && !v.paused) {
          window.lateness.push([v.currentTime, c.target.textContent]);
        }
      }
    }).observe(document, { subtree: true, attributes: true, attributeFilter: ['aria-selected'] });
  });
  await page.goto(address, { waitUntil: 'load' });
  await page.waitForFunction(() => window.firstFrame, { timeout: 15000 });
  firstFrames.push(await page.evaluate(() => window.firstFrame));
  marks.push(await page.evaluate(() => ['lesson-fetched', 'module-ready', 'lesson-started']
    .map((m) => `${m} ${performance.getEntriesByName(m)[0]?.startTime.toFixed(0)}`).join(', ')));
  const before = browserCpu();
  await page.keyboard.press('Space');
  await new Promise((r) => setTimeout(r, lessonSeconds * 1000));
  lessonCpu += browserCpu() - before;
  // The first line selected at each block change: its media time past the cue.
  const seen = await page.evaluate(() => window.lateness);
  const counted = new Set();
  for (const [time] of seen) {
    const cue = cues.filter((c) => c <= time + 1e-6).pop();
    if (cue !== undefined && time - cue < 1 && !counted.has(cue)) {
      counted.add(cue);
      lateness.push((time - cue) * 1000);
    }
  }
  await page.close();
}
const bare = await browser.newPage();
const movie = JSON.parse(fs.readFileSync(path.join(site, 'lesson.json'))).movies[0].address;
await bare.setContent(`<video src="${address}${movie}" autoplay muted></video>`);
const before = browserCpu();
await new Promise((r) => setTimeout(r, lessonSeconds * 1000));
const bareCpu = browserCpu() - before;
await browser.close();
server.kill();

const perCue = lateness;
const wasm = fs.readFileSync(path.join(site, 'scenova-web.wasm'));
console.log(`first video frame after navigation: ${firstFrames.map((t) => t.toFixed(0)).join(', ')} ms`);
console.log(`  (ms after navigation: ${marks.join('; ')})`);
console.log(`scenova-web.wasm: ${(wasm.length / 1024).toFixed(0)} KB, gzip -9 ${(zlib.gzipSync(wasm, { level: 9 }).length / 1024).toFixed(0)} KB`);
console.log(`cue to highlight (media ms, ${perCue.length} cues over ${runs} runs): median ${percentile(perCue, 50).toFixed(1)}, p95 ${percentile(perCue, 95).toFixed(1)}, max ${Math.max(...perCue).toFixed(1)}`);
console.log(`browser CPU over ${lessonSeconds} s: the lesson ${(lessonCpu / runs).toFixed(2)} s, the WebM in a bare page ${bareCpu.toFixed(2)} s`);
