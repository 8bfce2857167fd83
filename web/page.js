// The page around one game: it is the game's terminal. It shows what the
// game writes as the game writes it, and does what a terminal's line
// discipline does with the keys: echo, Backspace, Enter, Ctrl-D, lines
// typed ahead. The game itself is the C++ program, compiled unchanged.
'use strict';

// For tests and for pages that embed a game: everything the game has
// written (one char code 0 to 255 per byte, never the echo of typing),
// when each byte was written (performance.now()), its exit status once it
// has ended, and a promise of that status.
let gameEnded;
window.yarnlet = {
  output: '',
  outputTimes: [],
  status: null,
  ended: new Promise((resolve) => { gameEnded = resolve; }),
};

// The game (compiled meanwhile, see the page) is started by hand, so that
// its exit status is known even after it has been suspended. Its first
// write comes after this script has run, when the terminal is there.
window.yarnletPage = { write: gameWrote, read: gameReads };
game
  .then((instance) => instance.ccall('main', 'number', [], [], { async: true }))
  .then((status) => {
    window.yarnlet.status = status;
    showEnd('The game has ended.');
    gameEnded(status);
  }, (error) => {
    console.error(error);
    window.yarnlet.status = 1;
    showEnd('The game stopped unexpectedly.');
    gameEnded(1);
  });

const term = new Terminal({
  // The game ends its lines with "\n" alone; a terminal's output
  // processing moves to the start of the line as well.
  convertEol: true,
  cols: 80,
  rows: 30,
  cursorBlink: true,
  fontSize: 16,
  fontFamily: 'monospace',
  scrollback: 1000,
});
term.open(document.getElementById('terminal'));
term.focus();

// ---------------------------------------------------------------------------
// Output: each write shown at once, so that a byte is on screen before the
// pause after it begins.

function gameWrote(bytes) {
  const now = performance.now();
  let text = '';
  for (let i = 0; i < bytes.length; i++) {
    text += String.fromCharCode(bytes[i]);
    window.yarnlet.outputTimes.push(now);
  }
  window.yarnlet.output += text;
  // xterm decodes UTF-8 itself, also when a character's bytes arrive in
  // separate writes.
  term.write(bytes);
}

// ---------------------------------------------------------------------------
// Input: a terminal in canonical mode. Keys build the current line, which
// only the game's next reads see once Enter (or Ctrl-D) hands it over.

const encoder = new TextEncoder();
const handedOver = [];  // Uint8Arrays in order; an empty one is end of input
let line = [];          // the characters typed on the current line
let reader = null;      // the game's read that is waiting: {room, deliver}
let running = true;

function serveRead() {
  if (reader === null || handedOver.length === 0) return;
  const { room, deliver } = reader;
  reader = null;
  let bytes = handedOver[0];
  if (bytes.length > room) {
    handedOver[0] = bytes.subarray(room);
    bytes = bytes.subarray(0, room);
  } else {
    handedOver.shift();
  }
  deliver(bytes);
}

function gameReads(room, deliver) {
  reader = { room, deliver };
  serveRead();
}

function handOver(text) {
  handedOver.push(encoder.encode(text));
  line = [];
  // Not from inside the key handler: the game resumes on its own turn.
  queueMicrotask(serveRead);
}

term.onData((data) => {
  if (!running) return;
  for (const ch of data) {
    if (ch === '\r' || ch === '\n') {
      term.write('\r\n');
      handOver(line.join('') + '\n');
    } else if (ch === '\x7f' || ch === '\b') {
      if (line.length > 0) {
        line.pop();
        term.write('\b \b');
      }
    } else if (ch === '\x04') {
      // On an empty line, end of input for the read that gets it; after
      // typed characters, those characters without a line end.
      handOver(line.join(''));
    } else if (ch >= ' ' || ch === '\t') {
      line.push(ch);
      term.write(ch);
    }
    // Other control keys and escape sequences (arrows and the like) are
    // not part of an answer.
  }
});

// ---------------------------------------------------------------------------
// The game's end: the page says so and offers the way on.

function showEnd(text) {
  running = false;
  term.options.cursorBlink = false;
  document.getElementById('ended-text').textContent = text;
  document.getElementById('ended').hidden = false;
  document.getElementById('again').onclick = () => location.reload();
  document.getElementById('again').focus();
}
