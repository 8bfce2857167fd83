// The page around one game. The game is the C++ program, compiled
// unchanged: it writes bytes and reads lines (stdio.js). The page shows
// what it writes as ordinary document text that wraps to the screen, takes
// the answers in a native text field, and keeps a transcript of the
// game's lines with each answer where the game took it. A screen reader
// hears every line once, when it has ended.
'use strict';

// For tests and for pages that embed a game: everything the game has
// written (one char code 0 to 255 per byte, never an answer), when each
// byte was written (performance.now()), its exit status once it has
// ended, and a promise of that status.
let gameEnded;
window.yarnlet = {
  output: '',
  outputTimes: [],
  status: null,
  ended: new Promise((resolve) => { gameEnded = resolve; }),
};

const byId = (id) => document.getElementById(id);
const transcript = byId('transcript');
const announcer = byId('announcer');
const waitingList = byId('waiting');
const form = byId('answer-form');
const field = byId('answer');
const question = byId('question');

// The transcript as plain text lines, for "Save the story": the game's
// lines, and each answer as "> answer", as a terminal shows a run.
const story = [];

// ---------------------------------------------------------------------------
// Following the text. The newest line stays in view as it is typed, unless
// the player has scrolled up to reread; scrolling back down follows again.
// The scrolling waits for the next frame: asking for the page's height
// right after a byte is added would lay the page out once per byte, in
// the time the game's pause is measured from.
//
// In view is on screen: in the visual viewport, which a pinch, or a
// keyboard where the window keeps its size (Safari's on an iPhone or an
// iPad), makes smaller than the window. The bar at the bottom keeps to the
// window's bottom edge, which may then be off screen.

let following = true;
let scrollQueued = false;
const visual = window.visualViewport;
const screenTop = () => (visual ? visual.pageTop : window.scrollY);
const screenBottom = () => screenTop() + (visual ? visual.height : window.innerHeight);
const pageEnd = () => document.documentElement.scrollHeight;
const atEnd = () => screenBottom() >= pageEnd() - 48;
function scrollToEnd() {
  if (scrollQueued) return;
  scrollQueued = true;
  requestAnimationFrame(() => {
    scrollQueued = false;
    if (!following) return;
    window.scrollTo(0, pageEnd());
    if (screenBottom() < pageEnd() - 1) byId('controls').scrollIntoView({ block: 'end' });
  });
}
// Only the player scrolls up: the page itself only ever follows down. A
// scroll up that leaves the end behind is the player rereading, and the
// frame's own scroll, if one is waiting, then stays put (a frame tells of
// scrolling before it runs its animation callbacks).
let lastY = screenTop();
const scrolled = () => {
  if (screenTop() < lastY) following = atEnd();
  else if (!following) following = atEnd();
  lastY = screenTop();
};
window.addEventListener('scroll', scrolled, { passive: true });
visual?.addEventListener('scroll', scrolled, { passive: true });
// A phone's keyboard opening shrinks the window or the screen under the
// text, and the bar at the bottom grows with what it shows (answers
// waiting, the end, a new version): the newest line stays above it all the
// same.
// Where the window keeps its size for the keyboard, which then covers the
// page's bottom, the page is made no taller than the screen above it, so
// that the field sits just above the keyboard and the text just above the
// field, however little there is yet. A pinch zooms into the page as it is.
const fitScreen = () => {
  if (Math.abs(visual.scale - 1) < 0.01) document.body.style.minHeight = `${visual.height}px`;
  if (following) scrollToEnd();
};
window.addEventListener('resize', () => { if (following) scrollToEnd(); });
visual?.addEventListener('resize', fitScreen);
new ResizeObserver(() => { if (following) scrollToEnd(); }).observe(byId('controls'));

// ---------------------------------------------------------------------------
// Output: each write shown at once, so that a byte is on screen before the
// pause after it begins. The games write UTF-8 a byte at a time; the
// decoder holds the first bytes of a character until its last arrives.

const decoder = new TextDecoder();
let typing = null;  // the line being typed: { text, cursor }
let lastLine = '';
// The game says which of its lines is the story (stdio.js) just before it
// types it: the page never guesses it from the text.
let storyNext = false;
let storyLine = null;
let storyRow = null;  // where it is shown

function gameWrote(bytes) {
  const now = performance.now();
  let codes = '';
  for (let i = 0; i < bytes.length; i++) {
    codes += String.fromCharCode(bytes[i]);
    window.yarnlet.outputTimes.push(now);
  }
  window.yarnlet.output += codes;

  let start = 0;
  for (let end = bytes.indexOf(10); end !== -1; end = bytes.indexOf(10, start)) {
    // Not streamed: a character cut off by its line's end is shown as
    // broken rather than carried into the next line.
    show(decoder.decode(bytes.subarray(start, end)));
    endLine();
    start = end + 1;
  }
  show(decoder.decode(bytes.subarray(start), { stream: true }));
  if (following) scrollToEnd();
}

// Each line is a block of its own, not a paragraph: copied off the screen,
// paragraphs would come with a blank line between every two.
function startLine() {
  closeAnswer();
  const row = document.createElement('div');
  const text = document.createTextNode('');
  const cursor = document.createElement('span');
  cursor.className = 'cursor';
  cursor.setAttribute('aria-hidden', 'true');
  row.append(text, cursor);
  transcript.append(row);
  typing = { text, cursor };
}

function show(text) {
  if (text === '') return;
  if (typing === null) startLine();
  typing.text.appendData(text);
}

function endLine() {
  if (typing === null) startLine();
  const text = typing.text.data;
  if (storyNext) [storyLine, storyRow] = [text, typing.text.parentNode];
  typing.cursor.remove();
  typing = null;
  lastLine = text;
  storyNext = false;
  story.push(text);
  if (text !== '') announce(text);
}

// Only the newest line is kept, so that a screen reader moving through the
// page meets each line once, in the transcript. The end is added after the
// last line, which ends in the same moment and must not be taken away
// before the screen reader has been told of it.
function announce(text, after = false) {
  const row = document.createElement('div');
  row.textContent = text;
  if (after) announcer.append(row);
  else announcer.replaceChildren(row);
}

// ---------------------------------------------------------------------------
// Input: what a terminal does in canonical mode. Enter hands the field's
// line over; only the game's next reads see it, and lines handed over
// ahead wait, shown, for the questions that take them. An answer enters
// the transcript when the game takes it, so it lands after its question.

const encoder = new TextEncoder();
const waiting = [];  // handed over, not all read yet: { bytes, text, lineEnd, end, taken }
let reader = null;   // the game's read that is waiting: { room, deliver }
let answer = null;   // the transcript's answer that has no line end yet: { text, index }
let inputEnded = false;

function handOver(text, lineEnd) {
  const entry = {
    bytes: encoder.encode(lineEnd ? `${text}\n` : text),
    text,
    lineEnd,
    end: !lineEnd && text === '',
    taken: false,
  };
  waiting.push(entry);
  showWaiting();
  if (entry.end) endInput();
  // Not from inside the key handler: the game resumes on its own turn.
  queueMicrotask(serveRead);
}

function gameReads(room, deliver) {
  reader = { room, deliver };
  // The game reads right after its question's line has ended.
  question.textContent = lastLine === '' ? '' : ` to: ${lastLine}`;
  serveRead();
}

function serveRead() {
  if (reader === null || waiting.length === 0) return;
  const { room, deliver } = reader;
  reader = null;
  const entry = waiting[0];
  if (!entry.taken) take(entry);
  let bytes = entry.bytes;
  if (bytes.length > room) {
    entry.bytes = bytes.subarray(room);
    bytes = bytes.subarray(0, room);
  } else {
    waiting.shift();
  }
  // No bytes is the end of input.
  deliver(bytes);
}

// However many answers wait, the game's newest line and the field stay in
// view: the next two are shown, a line each, and the rest counted.
function showWaiting() {
  const untaken = waiting.filter((entry) => !entry.taken);
  const items = untaken.slice(0, 2).map((entry) => {
    const item = document.createElement('li');
    item.textContent = entry.end ? 'end of input' : entry.text || 'an empty answer';
    return item;
  });
  if (untaken.length > 2) {
    const more = document.createElement('li');
    more.className = 'more';
    more.textContent = `and ${untaken.length - 2} more`;
    items.push(more);
  }
  waitingList.replaceChildren(...items);
  waitingList.hidden = items.length === 0;
}

function take(entry) {
  entry.taken = true;
  showWaiting();
  if (entry.end) return;
  if (answer === null) {
    const row = document.createElement('div');
    row.className = 'answer';
    const mark = document.createElement('span');
    mark.setAttribute('aria-hidden', 'true');
    mark.textContent = '> ';
    const who = document.createElement('span');
    who.className = 'visually-hidden';
    who.textContent = 'You: ';
    const text = document.createTextNode('');
    row.append(mark, who, text);
    transcript.append(row);
    answer = { text, index: story.length };
    story.push('> ');
  }
  // Text sent with Ctrl-D has no line end: the game's line goes on with
  // whatever comes next, and so does the answer.
  answer.text.appendData(entry.text);
  story[answer.index] += entry.text;
  if (entry.lineEnd) closeAnswer();
  if (following) scrollToEnd();
}

function closeAnswer() { answer = null; }

// After the end of input the game reads nothing more, so the field takes
// nothing more.
function endInput() {
  inputEnded = true;
  invite.hidden = true;
  field.readOnly = true;
  // Said in the field's name, and shown where it stood hidden.
  const label = field.labels[0];
  label.textContent = 'Your input has ended';
  label.classList.remove('visually-hidden');
  if (document.activeElement?.form === form) field.focus();
  for (const button of form.querySelectorAll('button')) button.disabled = true;
}

// The form's method is "dialog", outside any dialog: Enter pressed before
// this script has run submits it to nothing, rather than navigating away
// from a page still loading its game. The answer stays in the field.
form.addEventListener('submit', (event) => {
  event.preventDefault();
  if (inputEnded) return;
  handOver(field.value, true);
  field.value = '';
  field.focus();
});

// A paste or an input method's insert that brings line ends (which a field
// of one line would turn into blanks) hands over each line it completes,
// as a terminal takes pasted lines; what follows the last line end stays
// in the field.
function insertLines(event, text) {
  if (inputEnded || !event.cancelable || !/[\r\n]/.test(text)) return;
  event.preventDefault();
  const { value, selectionStart, selectionEnd } = field;
  const lines = (value.slice(0, selectionStart) + text).split(/\r\n?|\n/);
  const rest = lines.pop();
  for (const line of lines) handOver(line, true);
  field.value = rest + value.slice(selectionEnd);
  field.setSelectionRange(rest.length, rest.length);
}
field.addEventListener('paste', (event) => insertLines(event, event.clipboardData.getData('text/plain')));
field.addEventListener('beforeinput', (event) => {
  insertLines(event, event.data ?? event.dataTransfer?.getData('text/plain') ?? '');
});

// Ctrl-D as on a terminal: on an empty line it ends the input; after
// typed characters it hands them over without a line end. It is also the
// browser's "bookmark this page", which this page takes back while the
// game still reads. As terminals read it, it is Ctrl with the letter d
// where the keyboard types Latin letters (another key on Dvorak than on
// QWERTY), and Ctrl with the key in the D position where it types none
// (Russian, Greek, Hebrew).
const isCtrlD = (event) => event.ctrlKey && !event.altKey && !event.metaKey &&
  (/^[a-z]$/i.test(event.key) ? event.key.toLowerCase() === 'd' : event.code === 'KeyD');
document.addEventListener('keydown', (event) => {
  if (isCtrlD(event) && !event.isComposing && !inputEnded) {
    event.preventDefault();
    handOver(field.value, false);
    field.value = '';
  }
});

// On a game portal the page is a frame on another site's page, and keys
// go to whichever document has the focus, which a frame cannot take by
// script (nor does the browser autofocus the field of a frame from
// another site). While it lacks the focus, the page invites the player in;
// the click or tap that brings the focus in, anywhere on the page but on a
// control or where the player is selecting text, puts it in the field. A
// frame given the focus by its host (or by a click before this script
// ran) puts it in the field too. Once the page has the focus, a tap on the
// text stays what it is everywhere: on a phone, the way to put the
// keyboard away.
const invite = byId('invite');
const framed = window.top !== window;
const showInvite = () => { invite.hidden = !framed || inputEnded || document.hasFocus(); };
window.addEventListener('focus', () => {
  if (framed && !inputEnded && document.activeElement === document.body) field.focus();
  showInvite();
});
window.addEventListener('blur', showInvite);
// Asked as the press begins: by the click, the press has given the focus.
let focusedBefore = true;
document.addEventListener('pointerdown', () => { focusedBefore = document.hasFocus(); }, true);
document.addEventListener('click', (event) => {
  if (framed && !inputEnded && !focusedBefore && !event.target.closest('a, button:not(#invite), input') &&
    getSelection().isCollapsed) {
    field.focus();
  }
});
if (document.hasFocus()) field.focus();
showInvite();

// The same on a phone, which has no Ctrl key, in one press: whatever is in
// the field, then the end.
byId('end-input').addEventListener('click', () => {
  if (inputEnded) return;
  if (field.value !== '') handOver(field.value, false);
  handOver('', false);
  field.value = '';
});

// ---------------------------------------------------------------------------
// The game's end: the page says so, drops the lines the game never read,
// and offers the way on.

function showEnd(text) {
  endInput();
  waiting.length = 0;
  waitingList.replaceChildren();
  waitingList.hidden = true;
  for (const button of form.querySelectorAll('button')) button.hidden = true;
  const save = byId('save');
  save.href = URL.createObjectURL(new Blob([`${story.join('\n')}\n`], { type: 'text/plain;charset=utf-8' }));
  byId('ended-text').textContent = text;
  byId('ended').hidden = false;
  // Told after the last line, never in the same moment: a screen reader
  // given both at once may say them in either order. The focus stays in
  // the field, whose next stop is "Play again": a screen reader speaks a
  // move of the focus at once, over whatever it was saying, and would cut
  // the end short.
  setTimeout(() => announce(text, true), 500);
  byId('again').addEventListener('click', () => location.reload());
  if (storyLine !== null) offerStory(storyLine);
  if (following) scrollToEnd();
}

// The story, passed on as a fill-in-the-blanks story is: read aloud to the
// table by the device's own voices (offline too), sent through its share
// sheet, or copied. Each control shows only where the device can do it;
// voices may come after the page has loaded.
function offerStory(text) {
  const speech = window.speechSynthesis;
  const readAloud = byId('read-aloud');
  if (speech && window.SpeechSynthesisUtterance) {
    const offer = () => { readAloud.hidden = speech.getVoices().length === 0; };
    speech.addEventListener('voiceschanged', offer);
    offer();
    let reading = null;  // the utterance being spoken
    const show = (utterance) => {
      reading = utterance;
      readAloud.textContent = utterance ? 'Stop reading' : 'Read it aloud';
    };
    readAloud.addEventListener('click', () => {
      if (reading) {
        show(null);
        speech.cancel();
        return;
      }
      const utterance = new SpeechSynthesisUtterance(text);
      utterance.lang = document.documentElement.lang;
      // Not when an earlier one, stopped, says it has ended.
      const ended = () => { if (reading === utterance) show(null); };
      utterance.addEventListener('end', ended);
      utterance.addEventListener('error', ended);
      show(utterance);
      speech.speak(utterance);
    });
    // A voice would go on reading over the next page.
    window.addEventListener('pagehide', () => speech.cancel());
  }
  // A new text each time, so that a screen reader says it each time.
  const say = (words) => byId('copied').replaceChildren(document.createTextNode(words));
  const share = byId('share');
  const copy = byId('copy');
  // A frame may share only where its host allows it. Where the browser
  // cannot tell (its policy does not know the feature), a refusal says so.
  // Closing the share sheet without sharing is no failure.
  const policy = document.permissionsPolicy ?? document.featurePolicy;
  const refused = policy?.features().includes('web-share') && !policy.allowsFeature('web-share');
  // With the game's address, to lead back to it; but in a frame, whose
  // address is the portal's file host, not the portal's page.
  const shared = framed ? { title: document.title, text } : { title: document.title, text, url: location.href };
  if (navigator.share && navigator.canShare?.(shared) && !refused) {
    share.hidden = false;
    share.addEventListener('click', () => navigator.share(shared).catch((error) => {
      if (error.name !== 'NotAllowedError') return;
      share.hidden = true;
      copy.focus();
      say('Sharing is not allowed here: copy the story instead');
    }));
  }
  // The clipboard as the browser offers it; in a frame whose host does not
  // allow that, by selecting the story on screen and copying the selection,
  // which the same click still allows; failing both, the story is left
  // selected for the player to copy.
  const bySelection = () => {
    getSelection().selectAllChildren(storyRow);
    let copied = false;
    try {
      copied = document.execCommand('copy');
    } catch {
      // refused outright
    }
    if (copied) getSelection().removeAllRanges();
    return copied;
  };
  copy.hidden = false;
  copy.addEventListener('click', () => (navigator.clipboard?.writeText(text) ?? Promise.reject())
    .catch(() => { if (!bySelection()) throw new Error('not copied'); })
    .then(() => say('Copied'), () => say('The story is selected: copy it with Ctrl+C, or your device\'s own menu')));
}

// ---------------------------------------------------------------------------
// The game: compiled while the page was parsed (the game's own script came
// first), and started by hand so that its exit status is known even after
// it has been suspended. A game whose script never arrived ends the same
// way as one that fails.

const yarnletStory = () => { storyNext = true; };
new Promise((resolve) => { resolve(createYarnlet({ yarnletWrite: gameWrote, yarnletRead: gameReads, yarnletStory })); })
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
