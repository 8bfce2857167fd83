// What the web tests and the web benchmark share: the site on a plain
// static server on 127.0.0.1, and Debian's Chromium, headless, with a
// profile of its own.
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { extname, join, normalize } from 'node:path';
import puppeteer from 'puppeteer-core';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml', '.png': 'image/png', '.webmanifest': 'application/manifest+json',
};

// Serves the folder `site` as any static host would, on `port` (any free
// one by default). `hold(pattern)` keeps back the files whose path matches,
// as a slow network would, until the function it returns is called;
// `close()` takes the network away, open connections included.
export async function serve(site, port = 0) {
  let held = null;
  const server = createServer(async (req, res) => {
    let path = normalize(decodeURIComponent(new URL(req.url, 'http://x').pathname)).replace(/^(\.\.[/\\])+/, '');
    if (path.endsWith('/')) path += 'index.html';
    if (held?.pattern.test(path)) await held.released;
    try {
      const body = readFileSync(join(site, path));
      res.writeHead(200, { 'Content-Type': types[extname(path)] ?? 'application/octet-stream' });
      res.end(body);
    } catch {
      res.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(port, '127.0.0.1', resolve));
  return {
    origin: `http://127.0.0.1:${server.address().port}`,
    port: server.address().port,
    hold: (pattern) => {
      let release;
      held = { pattern, released: new Promise((resolve) => { release = resolve; }) };
      return () => { held = null; release(); };
    },
    close: () => { server.close(); server.closeAllConnections(); },
  };
}

// Chromium as root on a machine without a network to the outside: no
// sandbox, no GPU, none of its own background traffic, and no slowing of
// timers in a page nobody is looking at.
export const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
  '--disable-backgrounding-occluded-windows'];
export const chromiumPath = process.env.CHROMIUM ?? '/usr/bin/chromium';

export async function withBrowser(use) {
  const profile = mkdtempSync(join(tmpdir(), 'yarnlet-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromiumPath, headless: true, userDataDir: profile, args: chromiumFlags,
  });
  try {
    return await use(browser, profile);
  } finally {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
  }
}

// Types `answers` ahead into the focused field with real keys, each
// followed by Enter, and waits for the game's end. What the page's
// interface recorded comes back, with when the page ended it.
export async function playTypedAhead(page, answers) {
  for (const answer of answers) {
    await page.keyboard.type(answer);
    await page.keyboard.press('Enter');
  }
  // Waited for, not polled: polling would delay the page's own timers.
  return page.evaluate(async () => {
    const status = await window.yarnlet.ended;
    return { status, endedAt: performance.now(), output: window.yarnlet.output, times: window.yarnlet.outputTimes };
  });
}

// The gaps after every typed byte (a line end is followed by whatever the
// game does next, which is no typing), to the nanosecond: what a float
// subtraction leaves of a clock's exact 50 ms is not a shorter pause.
export function typingGaps({ output, times }) {
  const gaps = [];
  for (let i = 0; i + 1 < output.length; i++) {
    if (output[i] !== '\n') gaps.push(Math.round((times[i + 1] - times[i]) * 1e6) / 1e6);
  }
  return gaps.sort((a, b) => a - b);
}

// What a game must do for the answers in tests/expected/<game>.in (`base`
// is that path without its extension): its output (one char code per
// byte, as window.yarnlet gives it) and its lines, from <game>.txt; the
// lines after which it reads an answer, its production script's pauses,
// and which line is its story, from <game>.waits.
export function readExpected(base) {
  const bytes = readFileSync(`${base}.txt`);
  const waits = readFileSync(`${base}.waits`, 'utf8').trim().split('\n').map((wait) => wait.split(' '));
  return {
    output: bytes.toString('latin1'),
    lines: bytes.toString('utf8').split('\n').slice(0, -1),
    answers: readFileSync(`${base}.in`, 'utf8').split('\n').slice(0, -1),
    questionLines: waits.filter(([, what]) => what === 'read').map(([line]) => Number(line)),
    scriptMs: waits.filter(([, what]) => what === 'pause').reduce((ms, [, , n]) => ms + Number(n), 0),
    storyLine: Number(waits.find(([, what]) => what === 'story')[0]),
  };
}

// The transcript a page must show: the game's lines, each answer after
// its question.
export const transcriptOf = ({ lines, questionLines }, answers) => lines.flatMap((line, i) => {
  const answer = answers[questionLines.indexOf(i)];
  return answer === undefined ? [line] : [line, `> ${answer}`];
});

// Run in the page: the transcript as it shows it, an answer as "> answer"
// as the saved story writes it.
export function shownTranscript() {
  return [...document.querySelectorAll('#transcript > div')]
    .map((row) => (row.classList.contains('answer') ? row.textContent.replace(/^> You: /, '> ') : row.textContent));
}

// The pauses a whole run waits: 50 ms for every byte of every line, and the
// production script's.
export const pausesOf = (output, scriptMs) => 50 * output.replaceAll('\n', '').length + scriptMs;
