// The web edition's budgets, measured and printed:
//
//   node web_bench.mjs SITE [RUNS]
//
// - what a game's page loads, as sent and gzipped, and what the offline
//   copy keeps (every file the service worker lists, and itself);
// - when the game's first byte is shown, on a first visit from the
//   series' page;
// - RUNS whole games of yarnlet2 (default 3) in headless Chromium, one at
//   a time, answers typed ahead, the page from the service worker's copy:
//   the first byte after the page began loading, the run against its
//   pauses, the gaps after typed bytes;
// - Lighthouse's mobile run (a phone on a slow 4G network, simulated) on
//   the series' page and a game's page, the site served by Python's plain
//   static server.
// Exits with status 1 when a budget is not met.
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';
import { chromiumFlags, chromiumPath, pausesOf, playTypedAhead, readExpected, serve, typingGaps, withBrowser }
  from '../tests/web/browser.mjs';

const [site, runsArg] = process.argv.slice(2);
const runs = Number(runsArg ?? 3);
// Lighthouse's performance budget is the index's; a game's page is held to
// its own, `gamePerformance`.
const budget = { bytes: 64 * 1024, gzipped: 24 * 1024, siteBytes: 300 * 1024, firstVisitMs: 177,
  firstByteMs: 300, overrun: 0.02, gapMs: 50, performance: 90, gamePerformance: 97, accessibility: 100,
  'best-practices': 100, seo: 100 };
const { answers, scriptMs } = readExpected(new URL('../tests/expected/yarnlet2', import.meta.url).pathname);
answers.push('');  // for the rating question
const verdicts = [];
const judge = (ok, what) => { verdicts.push(`${ok ? 'within budget' : 'OVER BUDGET  '}  ${what}`); };
const kb = (n) => `${(n / 1024).toFixed(1)} KB`;
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];

// What a game's page loads on a first visit, and when the game starts
// there; then, once the service worker keeps the site, the games it plays.
const server = await serve(site);
const games = [];
let firstVisit;
await withBrowser(async (browser) => {
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 800 });
  // As a player comes: the series' page, a moment's reading, the link.
  await page.goto(`${server.origin}/`, { waitUntil: 'load' });
  await new Promise((resolve) => setTimeout(resolve, 1000));
  const loaded = new Set();
  page.on('request', (r) => loaded.add(new URL(r.url()).pathname.slice(1)));
  await Promise.all([page.waitForNavigation({ waitUntil: 'load' }), page.click('a[href="yarnlet2.html"]')]);
  const files = [...loaded].sort().map((name) => readFileSync(join(site, name)));
  const bytes = files.reduce((n, f) => n + f.length, 0);
  const gzipped = files.reduce((n, f) => n + gzipSync(f, { level: 9 }).length, 0);
  console.log(`yarnlet2.html loads ${[...loaded].sort().join(', ')}`);
  judge(bytes <= budget.bytes && gzipped <= budget.gzipped,
    `a game's page loads ${kb(bytes)}, ${kb(gzipped)} gzipped (budget ${kb(budget.bytes)}, ${kb(budget.gzipped)})`);
  const kept = [...readFileSync(join(site, 'sw.js'), 'utf8').matchAll(/^ {2}'([^']+)',?$/gm)].map((m) => m[1]);
  const siteBytes = ['sw.js', ...kept].reduce((n, name) => n + readFileSync(join(site, name)).length, 0);
  judge(siteBytes <= budget.siteBytes,
    `the offline copy keeps ${kept.length + 1} files, ${kb(siteBytes)} (budget ${kb(budget.siteBytes)})`);
  firstVisit = await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    return window.yarnlet.outputTimes[0];
  });
  console.log(`first visit: first byte ${firstVisit.toFixed(0)} ms after the page began loading`);
  await page.close();

  for (let run = 0; run < runs; run++) {
    const game = await browser.newPage();
    await game.setViewport({ width: 1280, height: 800 });
    await game.goto(`${server.origin}/yarnlet2.html`, { waitUntil: 'load' });
    games.push(await playTypedAhead(game, answers));
    await game.close();
  }
});
server.close();

for (const [i, game] of games.entries()) {
  const pausesMs = pausesOf(game.output, scriptMs);
  const runMs = game.endedAt - game.times[0];
  const gaps = typingGaps(game);
  game.firstByte = game.times[0];
  game.overrun = runMs / pausesMs - 1;
  game.shortest = gaps[0];
  console.log(`run ${i + 1}: first byte ${game.firstByte.toFixed(0)} ms; ${(runMs / 1000).toFixed(2)} s against ` +
    `${(pausesMs / 1000).toFixed(2)} s of pauses (+${(game.overrun * 100).toFixed(2)}%); gaps after a typed byte: ` +
    `shortest ${gaps[0].toFixed(1)} ms, median ${median(gaps).toFixed(1)} ms, longest ${gaps[gaps.length - 1].toFixed(1)} ms`);
}
const worst = (key) => Math.max(...games.map((g) => g[key]));
judge(firstVisit <= budget.firstVisitMs && worst('firstByte') <= budget.firstByteMs,
  `first byte ${firstVisit.toFixed(0)} ms after the page began loading on a first visit, at most ` +
  `${worst('firstByte').toFixed(0)} ms from the offline copy (budget ${budget.firstVisitMs} ms, ${budget.firstByteMs} ms)`);
judge(worst('overrun') <= budget.overrun,
  `whole game at most ${(worst('overrun') * 100).toFixed(2)}% over its pauses (budget ${budget.overrun * 100}%)`);
judge(Math.min(...games.map((g) => g.shortest)) >= budget.gapMs,
  `shortest gap after a typed byte ${Math.min(...games.map((g) => g.shortest)).toFixed(1)} ms (budget ${budget.gapMs} ms)`);

// Lighthouse, as a phone on a mobile network sees the site.
const port = 8000 + (process.pid % 1000);
const http = spawn('python3', ['-m', 'http.server', String(port), '--bind', '127.0.0.1', '--directory', site],
  { stdio: 'ignore' });
await new Promise((resolve) => setTimeout(resolve, 1000));
const chrome = await chromeLauncher.launch({ chromePath: chromiumPath, chromeFlags: ['--headless=new', ...chromiumFlags] });
try {
  for (const name of ['index.html', 'yarnlet2.html']) {
    const { lhr } = await lighthouse(`http://127.0.0.1:${port}/${name}`, { port: chrome.port, logLevel: 'error',
      onlyCategories: ['performance', 'accessibility', 'best-practices', 'seo'] });
    const scores = Object.values(lhr.categories).map((c) => [c.id, Math.round(c.score * 100)]);
    const metric = (id) => lhr.audits[id].displayValue;
    console.log(`Lighthouse, mobile, ${name}: ${scores.map(([id, s]) => `${id} ${s}`).join(', ')}; first contentful ` +
      `paint ${metric('first-contentful-paint')}, largest ${metric('largest-contentful-paint')}, total blocking ` +
      `time ${metric('total-blocking-time')}, layout shift ${metric('cumulative-layout-shift')}, ${metric('total-byte-weight')}`);
    for (const [id, score] of scores) {
      const least = id === 'performance' && name !== 'index.html' ? budget.gamePerformance : budget[id];
      judge(score >= least, `Lighthouse ${id} on ${name}: ${score} (budget ${least})`);
    }
    for (const audit of Object.values(lhr.audits)) {
      if (audit.score !== null && audit.score < 1 && audit.scoreDisplayMode === 'binary') {
        console.log(`  ${name}: ${audit.id}: ${audit.title}`);
      }
    }
  }
} finally {
  await chrome.kill();
  http.kill();
}

console.log(verdicts.join('\n'));
process.exit(verdicts.some((v) => v.startsWith('OVER')) ? 1 : 0);
