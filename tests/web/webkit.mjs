// Plays one game whole in WebKit, the engine of every browser on an iPhone
// or an iPad: WebKitGTK's MiniBrowser, driven through WebKitWebDriver (W3C
// WebDriver, plain HTTP and JSON) on an X server of its own, in real time:
//
//   node webkit.mjs SITE EXPECTED
//
// EXPECTED is tests/expected/<game> (readExpected in browser.mjs). Once the
// page has loaded, every answer is typed ahead with real keys, the second
// with a slip put right by Backspace, and Ctrl-D ends the input at the
// rating question. The page must give the native game's output byte for
// byte and its exit status 0, each answer after its question, no typed
// byte followed by the next in under 50 ms, and the end told after the
// last line. Skipped, with a word, where WebKit or Xvfb is missing.
import { spawn } from 'node:child_process';
import { existsSync, readdirSync } from 'node:fs';
import { createServer } from 'node:net';
import { basename } from 'node:path';
import { readExpected, serve, shownTranscript, transcriptOf, typingGaps } from './browser.mjs';

const [site, expectedBase] = process.argv.slice(2);
const game = basename(expectedBase);
const expected = readExpected(expectedBase);
const browser = readdirSync('/usr/lib').map((arch) => `/usr/lib/${arch}/webkit2gtk-4.1/MiniBrowser`).find(existsSync);
const onPath = (tool) => process.env.PATH.split(':').some((dir) => existsSync(`${dir}/${tool}`));
if (!browser || !onPath('WebKitWebDriver') || !onPath('Xvfb')) {
  console.log('skipped: it needs webkit2gtk-driver and xvfb (.ci/run installs them)');
  process.exit(77);
}

const children = [];
const start = (command, args, options) => {
  const child = spawn(command, args, options);
  children.push(child);
  return child;
};
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };
const freePort = () => new Promise((resolve) => {
  const probe = createServer();
  probe.listen(0, '127.0.0.1', () => { const { port } = probe.address(); probe.close(() => resolve(port)); });
});

const server = await serve(site);
let result;
try {
  // An X server on the first free display, which it names once it listens.
  const xvfb = start('Xvfb', ['-displayfd', '1', '-screen', '0', '1280x800x24', '-nolisten', 'tcp'],
    { stdio: ['ignore', 'pipe', 'ignore'] });
  const display = await new Promise((resolve) => xvfb.stdout.once('data', (n) => resolve(`:${String(n).trim()}`)));
  const port = await freePort();
  start('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore', env: { ...process.env, DISPLAY: display } });
  const webdriver = async (method, path, body) => {
    const response = await fetch(`http://127.0.0.1:${port}${path}`,
      { method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body) });
    const { value } = await response.json();
    if (!response.ok) throw new Error(`${method} ${path}: ${value.error}: ${value.message}`);
    return value;
  };
  for (let waited = 0; !(await webdriver('GET', '/status').catch(() => ({}))).ready; waited += 100) {
    if (waited > 10000) throw new Error('WebKitWebDriver did not start');
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
  const { sessionId } = await webdriver('POST', '/session', {
    capabilities: { alwaysMatch: { 'webkitgtk:browserOptions': { binary: browser, args: ['--automation'] } } },
  });
  const session = (method, path, body) => webdriver(method, `/session/${sessionId}${path}`, body);
  // A function run in the page, which calls its last argument when done.
  const run = (fn) => session('POST', '/execute/async',
    { script: `const shownTranscript = ${shownTranscript}; (${fn})(...arguments)`, args: [] });
  try {
    await session('POST', '/timeouts', { script: 180000 });
    await session('POST', '/url', { url: `${server.origin}/${game}.html` });
    await run((done) => {
      const ready = () => (window.yarnlet && document.activeElement?.id === 'answer' ? done() : setTimeout(ready, 20));
      ready();
    });
    // Real keys: each character pressed and let go, as a keyboard sends it.
    const keys = [];
    const press = (...values) => {
      for (const value of values) keys.push({ type: 'keyDown', value });
      for (const value of values.reverse()) keys.push({ type: 'keyUp', value });
    };
    const [enter, backspace, control] = ['\uE007', '\uE003', '\uE009'];
    for (const [i, answer] of expected.answers.entries()) {
      const typed = i === 1 ? `${answer.slice(0, -1)}q` : answer;
      for (const c of typed) press(c);
      if (i === 1) [backspace, answer.at(-1)].forEach((key) => press(key));
      press(enter);
    }
    press(control, 'd');
    await session('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions: keys }] });
    result = await run(async (done) => {
      const status = await window.yarnlet.ended;
      // Once the end has been told, half a second after the last line.
      await new Promise((resolve) => setTimeout(resolve, 1000));
      const told = [...document.getElementById('announcer').children].map((row) => row.textContent);
      const { output, outputTimes: times } = window.yarnlet;
      done({ status, output, times, transcript: shownTranscript(), told });
    });
  } finally {
    await session('DELETE', '');
  }
} catch (error) {
  failures.push(error.message);
} finally {
  server.close();
  for (const child of children) child.kill();
}

if (result) {
  check(result.output === expected.output, `output differs from the native game's:\n${result.output}`);
  check(result.status === 0, `exit status ${result.status}`);
  const story = JSON.stringify(transcriptOf(expected, expected.answers));
  check(JSON.stringify(result.transcript) === story, `the transcript:\n${result.transcript.join('\n')}`);
  check(typingGaps(result)[0] >= 50, `a typed byte was followed after only ${typingGaps(result)[0]} ms`);
  check(JSON.stringify(result.told) === JSON.stringify([expected.lines.at(-1), 'The game has ended.']),
    `the live region ends with ${JSON.stringify(result.told)}`);
}
console.log(failures.length ? `FAILED:\n${failures.join('\n')}` : `${game} in WebKit: passed`);
process.exit(failures.length ? 1 : 0);
