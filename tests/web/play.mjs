// Plays one game in headless Chromium as a player would: the site served
// on 127.0.0.1, real keys typed into the page, and what the page shows
// read back. The game's output must be the native game's bytes for the
// same input, its status 0, and its pacing and size within budget.
//
//   node play.mjs SITE GAME SCENARIO EXPECTED_OUTPUT SCRIPT_PAUSES_MS READING_MS
//
// READING_MS is how long the player looks at the series' page before
// following the game's link.
// SCENARIO: "typed-ahead" answers typed before the first question shows,
// one of them corrected with Backspace, and Ctrl-D at the rating question;
// "ctrl-d-first", Ctrl-D at the first question.
import { readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import { gzipSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';

const [site, game, scenario, expectedPath, scriptMsArg, readingMsArg] = process.argv.slice(2);
const scriptMs = Number(scriptMsArg);
const readingMs = Number(readingMsArg);
const budget = { bytes: 350 * 1024, gzipped: 100 * 1024, firstByteMs: 300, overrun: 0.02, gapMs: 50 };
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };

// The site, from a plain static server, as any would serve it.
const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml' };
const server = createServer((req, res) => {
  let path = normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
  if (path.endsWith('/')) path += 'index.html';
  try {
    const body = readFileSync(join(site, path));
    res.writeHead(200, { 'Content-Type': types[extname(path)] ?? 'application/octet-stream' });
    res.end(body);
  } catch {
    res.writeHead(404).end();
  }
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

const profile = mkdtempSync(join(tmpdir(), 'yarnlet-chromium-'));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--disable-background-timer-throttling',
    '--disable-renderer-backgrounding', '--disable-backgrounding-occluded-windows'],
});
let result;
try {
  const page = await browser.newPage();
  page.on('pageerror', (e) => failures.push(`page error: ${e.message}`));
  page.on('console', (m) => { if (m.type() === 'error') failures.push(`console error: ${m.text()}`); });
  page.on('request', (r) => check(r.url().startsWith(origin), `fetched from another host: ${r.url()}`));

  // The way a player comes: the series' page, a moment to read it, the
  // game's link.
  await page.goto(`${origin}/`, { waitUntil: 'load' });
  await new Promise((resolve) => setTimeout(resolve, readingMs));
  await Promise.all([page.waitForNavigation({ waitUntil: 'load' }), page.click(`a[href="${game}.html"]`)]);
  check(await page.evaluate(() => window.yarnlet?.status === null && window.yarnlet.ended instanceof Promise),
    'window.yarnlet is not there, running, when the page has loaded');

  // Typed at once, long before the questions that take them.
  const ctrlD = async () => {
    await page.keyboard.down('Control');
    await page.keyboard.press('KeyD');
    await page.keyboard.up('Control');
  };
  let input;
  if (scenario === 'typed-ahead') {
    for (const answer of ['home', 'pizzq', 'happy', 'the attic', '3']) {
      await page.keyboard.type(answer);
      if (answer === 'pizzq') {
        await page.keyboard.press('Backspace');
        await page.keyboard.type('a');
      }
      await page.keyboard.press('Enter');
    }
    await ctrlD();
    input = 'home / pizza (pizzq, Backspace, a) / happy / the attic / 3 / Ctrl-D';
  } else {
    await ctrlD();
    input = 'Ctrl-D';
  }

  // Waited for, not polled: polling would delay the page's own timers.
  result = await page.evaluate(async () => {
    const status = await window.yarnlet.ended;
    const endedAt = performance.now();
    const rows = [...document.querySelectorAll('.xterm-rows > div')].map((row) => row.textContent.trimEnd());
    return { status, endedAt, output: window.yarnlet.output, times: window.yarnlet.outputTimes, rows,
      endShown: !document.getElementById('ended').hidden,
      endText: document.getElementById('ended').innerText };
  });
  result.input = input;
} finally {
  await browser.close();
  server.close();
  rmSync(profile, { recursive: true, force: true });
}

// The bytes and the end.
const expected = readFileSync(expectedPath, 'latin1');
check(result.output === expected, `output differs from the native game's:\n--- got\n${result.output}\n--- expected\n${expected}`);
check(result.status === 0, `exit status ${result.status}`);
const lastLine = expected.trimEnd().split('\n').pop();
check(result.rows.some((row) => row.includes(lastLine)), `the screen does not show "${lastLine}":\n${result.rows.join('\n')}`);
check(result.endShown && /ended/.test(result.endText) && /Play again/.test(result.endText) &&
  /another game/.test(result.endText), `the page does not say the game has ended: ${result.endText}`);

// The pacing: no typed byte followed by the next in under 50 ms, and the
// whole game hardly longer than its pauses.
const { times, output } = result;
let shortest = Infinity;
const gaps = [];
for (let i = 0; i + 1 < output.length; i++) {
  if (output[i] === '\n') continue;
  gaps.push(times[i + 1] - times[i]);
  shortest = Math.min(shortest, times[i + 1] - times[i]);
}
gaps.sort((a, b) => a - b);
const pausesMs = 50 * output.replaceAll('\n', '').length + scriptMs;
const lastByteMs = times[times.length - 1] - times[0];
const runMs = result.endedAt - times[0];
check(shortest >= budget.gapMs, `a typed byte was followed after only ${shortest.toFixed(2)} ms`);
check(lastByteMs >= pausesMs, `the game took ${lastByteMs.toFixed(0)} ms, less than its pauses, ${pausesMs} ms`);
check(runMs <= pausesMs * (1 + budget.overrun), `the game took ${runMs.toFixed(0)} ms, over 2% more than its pauses, ${pausesMs} ms`);
check(times[0] <= budget.firstByteMs, `the first byte came ${times[0].toFixed(0)} ms after the page began loading`);

// The size of what a player downloads for the game itself.
const files = [`${game}.js`, `${game}.wasm`].map((f) => readFileSync(join(site, f)));
const bytes = files.reduce((n, f) => n + f.length, 0);
const gzipped = files.reduce((n, f) => n + gzipSync(f, { level: 9 }).length, 0);
check(bytes <= budget.bytes || gzipped <= budget.gzipped, `${game}.js and .wasm take ${bytes} bytes, ${gzipped} gzipped`);

const kb = (n) => `${(n / 1024).toFixed(1)} KB`;
console.log(`${game} in Chromium, input: ${result.input}`);
console.log(`  size: ${game}.wasm ${kb(statSync(join(site, `${game}.wasm`)).size)} + ${game}.js ` +
  `${kb(statSync(join(site, `${game}.js`)).size)} = ${kb(bytes)}, ${kb(gzipped)} gzipped`);
console.log(`  first byte: ${times[0].toFixed(0)} ms after the page began loading`);
console.log(`  run: ${(runMs / 1000).toFixed(2)} s against ${(pausesMs / 1000).toFixed(2)} s of pauses ` +
  `(+${((runMs / pausesMs - 1) * 100).toFixed(2)}%)`);
console.log(`  gaps between typed bytes: shortest ${shortest.toFixed(2)} ms, median ` +
  `${gaps[Math.floor(gaps.length / 2)].toFixed(2)} ms, longest ${gaps[gaps.length - 1].toFixed(2)} ms`);
if (failures.length > 0) {
  console.log(`FAILED:\n${failures.join('\n')}`);
  process.exit(1);
}
console.log('passed');
