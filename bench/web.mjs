// The browser platform's figures for the published sample lesson, each
// beside the same WebM in a bare <video> page, in Chromium and Firefox:
//  - the first video frame shown after navigation, cold (a new browser with
//    an empty profile) and warm (the same address again in that browser),
//    as the median of pairwise ratios (the lesson page, then the bare page,
//    or the other way round, under nearly the same load);
//  - how late each cue's highlight comes (media time from the cue to the
//    lines' aria-selected);
//  - the browser's CPU while the lesson plays, against the bare page playing.
// Also the module's size gzipped and the page's own marks.
//   node bench/web.mjs SITE [PAIRS]   (SITE: a `scenova publish` of examples/market)
// BROWSERS=chromium,firefox picks the browsers; CHROMIUM and FIREFOX their
// programs; CPU_ROUNDS the rounds of playing for the CPU figures (3).
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';
import puppeteer from '../tests/web/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js';

const here = path.dirname(fileURLToPath(import.meta.url));
const site = process.argv[2];
const pairs = Number(process.argv[3] || 5);
const kinds = (process.env.BROWSERS || 'chromium,firefox').split(',');
// The cue times of examples/market/script.txt.
const cues = [0.5, 5.1, 8.14, 15.33, 18, 21.3, 24.02];
const lessonSeconds = 27;
// Rounds of playing for the CPU figures: an odd number, so that the median is
// a round's own ratio (two rounds' CPU has differed by half).
const cpuRounds = Number(process.env.CPU_ROUNDS || 3);

// The site with a bare page beside the lesson's: the lesson's first movie in
// a <video>, nothing else (not muted: a muted video spares its sound's work,
// which the lesson does not).
const served = fs.mkdtempSync(path.join(os.tmpdir(), 'scenova-bench-'));
fs.cpSync(site, served, { recursive: true });
const movie = JSON.parse(fs.readFileSync(path.join(site, 'lesson.json'))).movies[0].address;
fs.writeFileSync(path.join(served, 'bare.html'),
  `<!DOCTYPE html><meta charset="utf-8"><title>bare</title><video id="bare" src="${movie}" preload="auto" playsinline></video>\n`);
const server = spawn('python3', [path.join(here, '../scripts/serve-site'), served, '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
const address = String((await once(server.stdout, 'data'))[0]).trim();
const pages = { lesson: address, bare: `${address}bare.html` };

function launch(kind) {
  return puppeteer.launch(kind === 'firefox' ? {
    browser: 'firefox', executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr', headless: true,
    protocol: 'webDriverBiDi', extraPrefsFirefox: { 'media.volume_scale': '0.0', 'media.autoplay.default': 0 },
  } : {
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--mute-audio', '--autoplay-policy=no-user-gesture-required'],
  });
}

// User and system CPU ticks of one browser's processes by process: its own
// and every one below it (renderers, GPU, utility, content), not another
// browser's.
function browserTicks(browser) {
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
  const mine = new Map();
  const pending = [String(browser.process().pid)];
  while (pending.length) {
    const pid = pending.pop();
    mine.set(pid, ticks.get(pid) || 0);
    pending.push(...(children.get(pid) || []));
  }
  return mine;
}

// CPU seconds the browser's processes took since `before`: a process that
// ended meanwhile took its time with it, so the pages are closed only after
// their figures are read.
function cpuSince(browser, before) {
  let total = 0;
  for (const [pid, ticks] of browserTicks(browser)) total += ticks - (before.get(pid) || 0);
  return total / 100;
}

const percentile = (values, p) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.ceil((p / 100) * sorted.length) - 1)];
};
const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const half = sorted.length >> 1;
  return sorted.length % 2 ? sorted[half] : (sorted[half - 1] + sorted[half]) / 2;
};

// A page with the watch on its first shown frame: the first painting at
// which a shown video has a frame (the same test on both pages), in ms
// after navigation; and on the lesson's page the highlights as they come.
async function watched(browser, at) {
  const page = await browser.newPage();
  await page.evaluateOnNewDocument(() => {
    const look = (now) => {
      const shown = [...document.querySelectorAll('video')].find((v) => v.getClientRects().length > 0 && v.readyState >= 2);
      if (shown) window.firstFrame = now;
      else requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
    window.lateness = [];
    new MutationObserver((changes) => {
      const v = document.querySelector('#lesson-video');
      for (const c of changes) {
        if (c.target.getAttribute('aria-selected') === 'true' && v && !v.paused) {
          window.lateness.push(v.currentTime);
        }
      }
    }).observe(document, { subtree: true, attributes: true, attributeFilter: ['aria-selected'] });
  });
  await page.goto(at, { waitUntil: 'load' });
  await page.waitForFunction(() => window.firstFrame, { timeout: 20000, polling: 50 });
  return page;
}

async function firstFrame(browser, at) {
  const page = await watched(browser, at);
  const shown = await page.evaluate(() => window.firstFrame);
  if (at === pages.lesson) await page.waitForFunction(() => document.body.dataset.started, { timeout: 20000 });
  const marks = await page.evaluate(() => ['lesson-fetched', 'module-ready', 'lesson-started']
    .map((m) => performance.getEntriesByName(m)[0]?.startTime.toFixed(0)));
  await page.close();
  return { shown, marks };
}

const ms = (values) => values.map((t) => t.toFixed(0)).join(', ');
const ratios = (a, b) => a.map((x, i) => x / b[i]);
function report(kind, { frames, marks, lateness, cpu }) {
  console.log(`${kind}:`);
  for (const when of ['cold', 'warm']) {
    const { lesson, bare } = frames[when];
    console.log(`  first frame, ${when}: the lesson ${ms(lesson)} ms; bare ${ms(bare)} ms; `
      + `ratio (pairs' median) ${median(ratios(lesson, bare)).toFixed(2)}x`);
  }
  console.log(`  the lesson's marks (fetched/module ready/started, ms): ${marks.join('; ')}`);
  console.log(`  cue to highlight (media ms, ${lateness.length} cues): median ${median(lateness).toFixed(1)}, `
    + `p95 ${percentile(lateness, 95).toFixed(1)}, max ${Math.max(...lateness).toFixed(1)}`);
  const seconds = (values) => values.map((v) => v.toFixed(2)).join(', ');
  for (const [what, lesson, bare] of [['navigation to the end', cpu.lesson, cpu.bare],
    ['playing', cpu.lessonPlaying, cpu.barePlaying]]) {
    console.log(`  CPU, ${what} (${lessonSeconds} s played): the lesson ${seconds(lesson)} s; bare ${seconds(bare)} s; `
      + `ratio (pairs' median) ${median(ratios(lesson, bare)).toFixed(2)}x`);
  }
}

const wasm = fs.readFileSync(path.join(site, 'scenova-web.wasm'));
console.log(`scenova-web.wasm: ${(wasm.length / 1024).toFixed(0)} KB, gzip -9 ${(zlib.gzipSync(wasm, { level: 9 }).length / 1024).toFixed(0)} KB`);
for (const kind of kinds) {
  const frames = { cold: { lesson: [], bare: [] }, warm: { lesson: [], bare: [] } };
  const marks = [];
  for (let pair = 0; pair < pairs; pair++) {
    for (const what of pair % 2 ? ['bare', 'lesson'] : ['lesson', 'bare']) {
      const browser = await launch(kind);
      for (const when of ['cold', 'warm']) {
        const { shown, marks: m } = await firstFrame(browser, pages[what]);
        frames[when][what].push(shown);
        if (what === 'lesson') marks.push(`${when} ${m.join('/')}`);
      }
      await browser.close();
    }
    process.stderr.write(`${kind}: pair ${pair + 1} of ${pairs}\n`);
  }

  // Playing, the lesson then the bare page, in one browser, round after round: the
  // CPU from navigation to the end of the lesson's length of playing (the
  // page's start-up counted), and of that the playing alone, started once
  // the page is ready.
  const browser = await launch(kind);
  // The browser's own start (a first tab, its services) is over first.
  await new Promise((r) => setTimeout(r, 3000));
  const lateness = [];
  const cpu = { lesson: [], bare: [], lessonPlaying: [], barePlaying: [] };
  for (let round = 0; round < cpuRounds; round++) {
    for (const what of ['lesson', 'bare']) {
      const atStart = browserTicks(browser);
      const page = await watched(browser, pages[what]);
      if (what === 'lesson') await page.waitForFunction(() => document.body.dataset.started, { timeout: 20000 });
      const atPlay = browserTicks(browser);
      if (what === 'lesson') await page.keyboard.press(' ');
      else await page.evaluate(() => document.querySelector('video').play());
      await new Promise((r) => setTimeout(r, lessonSeconds * 1000));
      cpu[what].push(cpuSince(browser, atStart));
      cpu[`${what}Playing`].push(cpuSince(browser, atPlay));
      if (what === 'lesson') {
        // The first line selected at each block change: its media time past the cue.
        const counted = new Set();
        for (const time of await page.evaluate(() => window.lateness)) {
          const cue = cues.filter((c) => c <= time + 1e-6).pop();
          if (cue !== undefined && time - cue < 1 && !counted.has(cue)) {
            counted.add(cue);
            lateness.push((time - cue) * 1000);
          }
        }
      }
      await page.close();
    }
  }
  await browser.close();
  report(kind, { frames, marks, lateness, cpu });
}
server.kill();
fs.rmSync(served, { recursive: true, force: true });

