// The remote page: every element with data-control sends its control's value over
// the live channel, every element with data-state shows that state as the program
// pushes it. Names are those of docs/controls.md.
'use strict';

const PICTURE_KEYS = ['1', '2', '3', '4', '5', '6', '7', '8', '␣', 'Z', 'X', 'C', 'V', 'B', 'N', 'M'];
const STRIPS = 27;
const CONVEYOR_BUTTONS = 20;
const AUTOMATS = 2;
const PAGE_LAST = 228;
const QUIET_MS = 5000;   // the program says something at least every 2 s

const state = {};
let socket = null;
let retryMs = 500;
let lastHeard = 0;
let noteTimer = 0;

function element(tag, attributes, ...children) {
  const made = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
  made.append(...children);
  return made;
}

function build() {
  const pictures = document.getElementById('pictures');
  PICTURE_KEYS.forEach((key, i) => {
    const n = i + 1;
    pictures.append(element('div', {class: 'picture'},
      element('button', {class: 'hold', 'data-control': `picture/${n}`, 'data-state': `picture/${n}`},
        String(n), element('small', {}, key)),
      element('button', {class: 'latch', 'data-control': `picture/${n}/latch`, 'data-state': `picture/${n}/latch`,
        'aria-label': `Зафиксировать картину ${n}`}, 'фикс')));
  });
  const conveyor = document.getElementById('conveyor');
  for (let n = 1; n <= CONVEYOR_BUTTONS; ++n) {
    conveyor.append(element('button', {'data-control': `conveyor/${n}`, 'data-state': `conveyor/${n}`},
      element('b', {}, String(n)), element('span', {'data-state': `conveyor/${n}/name`})));
  }
  const strips = document.getElementById('strips');
  for (let n = 1; n <= STRIPS; ++n) {
    // The whole 44 px box around the check box takes the tap; the channel's number
    // stands before its name, as on the window's desk.
    strips.append(element('div', {class: 'strip'},
      element('label', {class: 'check'}, element('input', {type: 'checkbox', 'data-control': `fader/${n}/manual`,
        'data-state': `fader/${n}/manual`, 'aria-label': `Ручное ${n}`})),
      element('span', {class: 'name'}, element('b', {class: 'channel'}, String(n)), ' ',
        element('span', {'data-state': `fader/${n}/name`})),
      element('input', {type: 'range', min: '0', max: '255', 'data-control': `fader/${n}`, 'data-state': `fader/${n}`,
        'aria-label': `Фейдер ${n}`}),
      element('output', {'data-state': `fader/${n}`})));
  }
  // A finger lands on a slider's box, never on the slider itself (see slide()).
  for (const range of document.querySelectorAll('input[type=range]')) {
    const box = element('span', {class: 'slide'});
    range.replaceWith(box);
    box.append(range);
  }
  const automats = document.getElementById('automats');
  for (let n = 1; n <= AUTOMATS; ++n) {
    automats.append(element('div', {class: 'automat'}, element('b', {}, `Автомат ${n}`),
      element('label', {class: 'check'}, element('input', {type: 'checkbox', 'data-control': `automat/${n}/run`,
        'data-state': `automat/${n}/run`}), ' Пуск самостоятельно'),
      element('label', {class: 'check'}, element('input', {type: 'checkbox', 'data-control': `automat/${n}/with-show`,
        'data-state': `automat/${n}/with-show`}), ' С основным')));
  }
}

function send(control, value) {
  if (!socket || socket.readyState !== WebSocket.OPEN) return;
  socket.send(JSON.stringify(value === undefined ? {control} : {control, value}));
}

// Drags send at most once a frame, the last value.
const pending = new Map();
function sendSoon(control, value) {
  if (!pending.size) requestAnimationFrame(() => {
    pending.forEach((v, c) => send(c, v));
    pending.clear();
  });
  pending.set(control, value);
}

function show(name, value) {
  state[name] = value;
  if (name === 'beat') flash(document.getElementById('beat-lamp'));
  if (name === 'page') {
    document.getElementById('first-channel').textContent = `${value + 1}–${value + STRIPS}`;
    document.querySelectorAll('.strip .channel').forEach((number, i) => { number.textContent = String(value + i + 1); });
  }
  for (const shown of document.querySelectorAll(`[data-state="${CSS.escape(name)}"]`)) {
    shown.dataset.value = Array.isArray(value) ? value.join(',') : String(value);
    if (shown.dataset.busy) continue;   // the finger is on it
    if (shown.type === 'checkbox') shown.checked = Boolean(value);
    else if (shown.tagName === 'INPUT' || shown.tagName === 'SELECT') shown.value = value;
    else if (shown.classList.contains('pad')) placeDot(shown, value);
    else if (shown.tagName !== 'BUTTON' && !shown.classList.contains('lamp')) shown.textContent = value;
  }
}

// A beat: the lamp lights for a tenth of a second.
function flash(lamp) {
  lamp.classList.add('on');
  clearTimeout(lamp.timer);
  lamp.timer = setTimeout(() => lamp.classList.remove('on'), 100);
}

function note(text) {
  const box = document.getElementById('note');
  box.textContent = text;
  box.classList.add('shown');
  clearTimeout(noteTimer);
  noteTimer = setTimeout(() => box.classList.remove('shown'), 3000);
}

function setOnline(online) {
  document.body.classList.toggle('offline', !online);
}

function connect() {
  socket = new WebSocket(`ws://${location.host}/live`);
  socket.onmessage = (event) => {
    lastHeard = Date.now();
    retryMs = 500;
    setOnline(true);
    const message = JSON.parse(event.data);
    if (message.states) for (const [name, value] of Object.entries(message.states)) show(name, value);
    if (message.error) note(message.error);
  };
  socket.onclose = (event) => {
    setOnline(false);
    socket = null;
    if (event.code === 4001) {   // signed out (a new PIN): the PIN form again
      location.reload();
      return;
    }
    setTimeout(connect, retryMs);
    retryMs = Math.min(retryMs * 2, 4000);
  };
}

// A network that drops without a word: nothing heard for a while means cut off.
setInterval(() => {
  if (socket && socket.readyState === WebSocket.OPEN && Date.now() - lastHeard > QUIET_MS) {
    setOnline(false);
    socket.close();
  }
}, 1000);

function placeDot(pad, [x, y]) {
  const dot = pad.firstElementChild;
  dot.style.left = `${(x / 255) * 100}%`;
  dot.style.top = `${(1 - y / 255) * 100}%`;
}

function padValue(pad, event) {
  const box = pad.getBoundingClientRect();
  const clamp = (v) => Math.max(0, Math.min(255, Math.round(v * 255)));
  return [clamp((event.clientX - box.left) / box.width), clamp(1 - (event.clientY - box.top) / box.height)];
}

// Held while the finger is down: 1 on touch, 0 when it lifts or slides off.
function hold(button) {
  const control = button.dataset.control;
  const release = () => {
    if (!button.dataset.busy) return;
    delete button.dataset.busy;
    send(control, 0);
  };
  button.addEventListener('pointerdown', (event) => {
    button.setPointerCapture(event.pointerId);
    button.dataset.busy = '1';
    send(control, 1);
  });
  for (const end of ['pointerup', 'pointercancel', 'lostpointercapture']) button.addEventListener(end, release);
  button.addEventListener('contextmenu', (event) => event.preventDefault());
}

function wire(control) {
  const name = control.dataset.control;
  if (control.classList.contains('hold')) return hold(control);
  // A tap counts the moment the finger lands, as the beat does.
  if (control.classList.contains('beat')) {
    control.addEventListener('pointerdown', () => send(name));
    return control.addEventListener('click', (event) => { if (event.detail === 0) send(name); });
  }
  if (control.classList.contains('pad')) {
    const drag = (event) => {
      if (!event.buttons && event.type !== 'pointerdown') return;
      const value = padValue(control, event);
      placeDot(control, value);
      sendSoon(name, value);
    };
    control.addEventListener('pointerdown', (event) => {
      control.setPointerCapture(event.pointerId);
      drag(event);
    });
    control.addEventListener('pointermove', drag);
    return;
  }
  if (control.type === 'range') {
    slide(control);
    // The keyboard still moves it.
    control.addEventListener('input', () => sendSoon(name, Number(control.value)));
    return;
  }
  if (control.type === 'checkbox') return control.addEventListener('change', () => send(name, control.checked ? 1 : 0));
  if (control.tagName === 'SELECT') return control.addEventListener('change', () => send(name, control.value));
  tapped(control, () => {
    if (control.dataset.step) send(name, Math.max(0, Math.min(PAGE_LAST, (state.page || 0) + Number(control.dataset.step))));
    else if (control.classList.contains('toggle') || control.classList.contains('latch')) send(name, state[control.dataset.state] ? 0 : 1);
    else send(name);
  });
}

// A finger moves a slider only once it goes mostly along it. A swipe that is mostly
// across it is the page's: the browser scrolls (the box lets it pan up and down) and
// cancels the pointer, and the level never moves. A mouse acts at once.
const SLIDE_SLOP = 10;   // CSS px before a finger's direction counts
function slide(control) {
  const box = control.parentElement;
  let start = null;
  let along = false;
  const moveTo = (x) => {
    const track = control.getBoundingClientRect();
    const min = Number(control.min);
    const max = Number(control.max);
    const fraction = Math.max(0, Math.min(1, (x - track.left) / track.width));
    const value = Math.round(min + fraction * (max - min));
    if (String(value) === control.value) return;
    control.value = value;
    control.dispatchEvent(new Event('input'));
  };
  const end = () => {
    // Untouched, it shows again what the program holds.
    if (start && !along && control.dataset.state in state) control.value = state[control.dataset.state];
    start = null;
    along = false;
    delete control.dataset.busy;
  };
  box.addEventListener('pointerdown', (event) => {
    if (!event.isPrimary) return;
    start = {x: event.clientX, y: event.clientY, id: event.pointerId};
    control.dataset.busy = '1';
    if (event.pointerType !== 'mouse') return;
    along = true;
    box.setPointerCapture(event.pointerId);
    moveTo(event.clientX);
  });
  box.addEventListener('pointermove', (event) => {
    if (!start || event.pointerId !== start.id) return;
    if (!along) {
      const dx = Math.abs(event.clientX - start.x);
      const dy = Math.abs(event.clientY - start.y);
      if (Math.max(dx, dy) < SLIDE_SLOP) return;
      if (dy >= dx) return end();
      along = true;
      box.setPointerCapture(event.pointerId);
    }
    moveTo(event.clientX);
  });
  for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) box.addEventListener(type, end);
}

// A button acts when the finger lifts on it, without waiting for the browser's click;
// a click from the keyboard acts too.
function tapped(button, act) {
  let down = false;
  button.addEventListener('pointerdown', (event) => { down = event.isPrimary; });
  button.addEventListener('pointercancel', () => { down = false; });
  button.addEventListener('pointerup', (event) => {
    const box = button.getBoundingClientRect();
    const inside = event.clientX >= box.left && event.clientX <= box.right && event.clientY >= box.top && event.clientY <= box.bottom;
    if (down && inside) act();
    down = false;
  });
  button.addEventListener('click', (event) => { if (event.detail === 0) act(); });
}

build();
document.querySelectorAll('[data-control]').forEach(wire);
connect();
