// Plays one game whole, in real time, typed ahead in any engine:
//
//   node typed.mjs ENGINE SITE EXPECTED [portal]
//
// ENGINE is "webkit", the engine of every browser on an iPhone or an iPad:
// WebKitGTK's MiniBrowser, driven through WebKitWebDriver (W3C WebDriver,
// plain HTTP and JSON) on an X server of its own; "firefox", Gecko:
// Debian's Firefox ESR, headless, driven by puppeteer-core over WebDriver
// BiDi; or "chromium", headless, by puppeteer-core. EXPECTED is
// tests/expected/<game> (readExpected in browser.mjs).
// Once the page has loaded, every answer is typed ahead with real keys, the
// second with a slip put right by Backspace, and Ctrl-D ends the input at
// the rating question. The page must give the native game's output byte
// for byte and its exit status 0, each answer after its question, no typed
// byte followed by the next in under 50 ms, and the end told after the
// last line. Skipped, with a word, where the engine is missing.
//
// "portal" plays it as a game portal shows it, on a phone in Chromium
// (touch, the frame as wide as the screen) or at a desk in Firefox
// (WebDriver's frames take the focus themselves): in a frame on a host
// page of another origin, put there by its "Run game" button. The page
// must invite the player in until a tap or click into the game, which
// must be all it takes for the keys to reach the field; after the first
// answer, a tap on the text must leave the field without the focus (on a
// phone, the keyboard put away) until the field itself is tapped. At the
// end, a share sheet that refuses the frame (as one does where the browser
// cannot tell beforehand) must have been offered the story without the
// page's address, which is the portal's file host, and must leave Copy
// offered; and "Copy the story", which the frame may not do through the
// clipboard, must still put exactly the story there.
import { spawn } from 'node:child_process';
import { existsSync, readdirSync } from 'node:fs';
import { createServer } from 'node:net';
import { basename } from 'node:path';
import puppeteer, { KnownDevices } from 'puppeteer-core';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromiumFlags, chromiumPath, readExpected, serve, shownTranscript, transcriptOf, typingGaps } from './browser.mjs';

const [engine, site, expectedBase, portal] = process.argv.slice(2);
const game = basename(expectedBase);
const expected = readExpected(expectedBase);
const children = [];
const start = (command, args, options) => {
  const child = spawn(command, args, options);
  children.push(child);
  return child;
};
const skip = (what) => {
  console.log(`skipped: it needs ${what} (.ci/run installs it)`);
  process.exit(77);
};
const freePort = () => new Promise((resolve) => {
  const probe = createServer();
  probe.listen(0, '127.0.0.1', () => { const { port } = probe.address(); probe.close(() => resolve(port)); });
});

// An async function to run in the page, with shownTranscript at hand, as
// an expression.
const inPage = (fn) => `(async () => { const shownTranscript = ${shownTranscript}; return (${fn})(); })()`;

// Each engine's driver: open a page, press keys (each a chord: the keys
// held down together, a modifier first), and run an async function in the
// page for what it returns; for a portal, click an element as a mouse
// does, and enter the frame of an element (null: back to the page).
const drivers = {
  async webkit() {
    const browser = readdirSync('/usr/lib').map((arch) => `/usr/lib/${arch}/webkit2gtk-4.1/MiniBrowser`).find(existsSync);
    const onPath = (tool) => process.env.PATH.split(':').some((dir) => existsSync(`${dir}/${tool}`));
    if (!browser || !onPath('WebKitWebDriver') || !onPath('Xvfb')) skip('webkit2gtk-driver and xvfb');
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
    await session('POST', '/timeouts', { script: 180000 });
    const codes = { Enter: '\uE007', Backspace: '\uE003', Control: '\uE009' };
    return {
      open: (url) => session('POST', '/url', { url }),
      press: (chords) => session('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard', actions: chords.flatMap((keys) => {
        const values = keys.map((key) => codes[key] ?? key);
        return [...values.map((value) => ({ type: 'keyDown', value })), ...values.reverse().map((value) => ({ type: 'keyUp', value }))];
      }) }] }),
      run: (fn) => session('POST', '/execute/async', { script: `${inPage(fn)}.then(arguments[0])`, args: [] }),
      close: () => session('DELETE', ''),
    };
  },
  firefox: () => {
    if (!existsSync('/usr/bin/firefox-esr')) skip('firefox-esr');
    return withPuppeteer({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true });
  },
  chromium: () => withPuppeteer({ executablePath: chromiumPath, headless: true, args: chromiumFlags },
    portal && KnownDevices['Pixel 5']),
};

// Firefox and Chromium, through puppeteer-core; on a phone, tapped.
async function withPuppeteer(options, phone) {
  const browser = await puppeteer.launch(options);
  const page = await browser.newPage();
  if (phone) await page.emulate(phone);
  let frame = page;
  return {
    open: (url) => page.goto(url),
      press: async (chords) => {
        for (const keys of chords) {
          for (const key of keys.slice(0, -1)) await page.keyboard.down(key);
          await (keys.at(-1).length === 1 ? page.keyboard.type(keys.at(-1)) : page.keyboard.press(keys.at(-1)));
          for (const key of keys.slice(0, -1).reverse()) await page.keyboard.up(key);
        }
      },
      run: (fn) => frame.evaluate(inPage(fn)),
      click: async (selector) => (await frame.waitForSelector(selector))[phone ? 'tap' : 'click'](),
      enter: async (selector) => {
        frame = selector ? await (await frame.waitForSelector(selector)).contentFrame() : page;
      },
      close: () => browser.close(),
    };
}

const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };
const server = await serve(site);
// The portal: a page on another origin (another port), whose button puts
// the game in a frame that allows what portals' frames commonly allow.
let host = null;
const hostSite = portal && mkdtempSync(join(tmpdir(), 'yarnlet-portal-'));
if (portal) {
  writeFileSync(join(hostSite, 'index.html'), `<!doctype html><html lang="en"><title>A portal</title>
<button id="run">Run game</button> <textarea id="pasted" aria-label="Paste"></textarea>
<script>document.getElementById('run').addEventListener('click', () => {
  const frame = document.createElement('iframe');
  Object.assign(frame, { src: '${server.origin}/${game}.html', allow: 'autoplay; fullscreen *; gamepad; web-share' });
  Object.assign(frame.style, { width: '100%', height: '700px' });
  document.body.append(frame);
});</script>`);
  host = await serve(hostSite);
}
let result;
try {
  const driver = await drivers[engine]();
  try {
    if (portal) {
      await driver.open(`${host.origin}/`);
      await driver.click('#run');
      await driver.enter('iframe');
    } else {
      await driver.open(`${server.origin}/${game}.html`);
    }
    await driver.run(() => new Promise((resolve) => {
      const ready = () => (window.yarnlet && document.getElementById('transcript').offsetHeight ? resolve() : setTimeout(ready, 20));
      ready();
    }));
    if (portal) {
      // A share sheet that will refuse, as a browser that cannot tell
      // beforehand refuses a frame; in place before the game's end.
      await driver.run(() => Object.assign(navigator, {
        canShare: () => true,
        share: (data) => { window.offered = data; return Promise.reject(new DOMException('Not in this frame', 'NotAllowedError')); },
      }) && null);
      const invited = () => [document.getElementById('invite').checkVisibility(), document.activeElement?.id];
      const before = await driver.run(invited);
      check(before[0] && before[1] !== 'answer', `before a click into the game, invited and focused: ${before}`);
      await driver.click('#transcript');
      const after = await driver.run(invited);
      check(!after[0] && after[1] === 'answer', `after a click into the game, invited and focused: ${after}`);
    } else {
      check(await driver.run(() => document.activeElement?.id === 'answer'), 'the answer field has no focus');
    }
    const chords = [];
    for (const [i, answer] of expected.answers.entries()) {
      const typed = i === 1 ? `${answer.slice(0, -1)}q` : answer;
      chords.push(...[...typed].map((c) => [c]), ...(i === 1 ? [['Backspace'], [answer.at(-1)]] : []), ['Enter']);
    }
    const first = chords.findIndex(([key]) => key === 'Enter') + 1;
    await driver.press(chords.slice(0, first));
    if (portal) {
      await driver.click('#transcript');
      const left = await driver.run(() => [document.activeElement?.id, document.getElementById('invite').checkVisibility()]);
      check(left.join() === ',false', `a later tap on the text, focused and invited: ${left}`);
      await driver.click('#answer');
    }
    await driver.press([...chords.slice(first), ['Control', 'd']]);
    result = await driver.run(async () => {
      const status = await window.yarnlet.ended;
      // Once the end has been told, half a second after the last line.
      await new Promise((resolve) => setTimeout(resolve, 1000));
      const told = [...document.getElementById('announcer').children].map((row) => row.textContent);
      const { output, outputTimes: times } = window.yarnlet;
      return { status, output, times, transcript: shownTranscript(), told };
    });
    // Shared and copied in the frame, and pasted into the host page with
    // real keys.
    if (portal) {
      // What the page says next, after `after`, within five seconds.
      const told = (after) => driver.run(`() => new Promise((resolve) => {
        const said = () => document.getElementById('copied').textContent;
        const wait = (n) => (said() !== ${JSON.stringify(after)} || n > 250 ? resolve(said()) : setTimeout(wait, 20, n + 1));
        wait(0);
      })`);
      await driver.click('#share');
      result.shared = [await told(''), ...await driver.run(() => ['share', 'copy']
        .map((id) => document.getElementById(id).checkVisibility()).concat(document.activeElement.id,
          Object.keys(window.offered).join(' ')))];
      await driver.click('#copy');
      result.copied = await told(result.shared[0]);
      await driver.enter(null);
      await driver.click('#pasted');
      await driver.press([['Control', 'v']]);
      result.clipboard = await driver.run(() => document.getElementById('pasted').value);
    }
  } finally {
    await driver.close();
  }
} catch (error) {
  failures.push(error.message);
} finally {
  server.close();
  host?.close();
  for (const child of children) child.kill();
  if (hostSite) rmSync(hostSite, { recursive: true, force: true });
}

if (result) {
  check(result.output === expected.output, `output differs from the native game's:\n${result.output}`);
  check(result.status === 0, `exit status ${result.status}`);
  const story = JSON.stringify(transcriptOf(expected, expected.answers));
  check(JSON.stringify(result.transcript) === story, `the transcript:\n${result.transcript.join('\n')}`);
  check(typingGaps(result)[0] >= 50, `a typed byte was followed after only ${typingGaps(result)[0]} ms`);
  check(JSON.stringify(result.told) === JSON.stringify([expected.lines.at(-1), 'The game has ended.']),
    `the live region ends with ${JSON.stringify(result.told)}`);
  check(!portal || result.shared?.join() === 'Sharing is not allowed here: copy the story instead,false,true,copy,title text',
    `shared in the frame: ${result.shared}`);
  check(!portal || (result.copied === 'Copied' && result.clipboard === expected.lines[expected.storyLine]),
    `copied in the frame: "${result.copied}", and on the clipboard:\n${result.clipboard}`);
}
console.log(failures.length ? `FAILED:\n${failures.join('\n')}` : `${game} in ${engine}${portal ? ', on a portal' : ''}: passed`);
process.exit(failures.length ? 1 : 0);
