// The page around the savers: it chooses a saver, sizes the canvas, calls
// the driver (saver_page.cpp) to create, tick and destroy it, and puts the
// saver's surface on the canvas. Bundled into saver.js ahead of the compiled
// code (emcc --pre-js), so it shares that file's scope.
//
// Two ways to run:
// - live: the canvas fills the window; the saver ticks at its own period and
//   its wipes pause for real, letting the browser run; settings come from the
//   panel, kept in the browser's storage.
// - test (the address has frames=K): the address's settings over the
//   defaults, seed N, a canvas of W x H, K ticks as fast as they go, pauses
//   counted; then window.saverDone = true (window.saverError = message when
//   the run cannot be made).
Module.print = (text) => console.log(text);
// The compiled code's standard error is plain log lines, never errors.
Module.printErr = (text) => console.log(text);
Module.onRuntimeInitialized = () => {
  pageMain().catch(pageFailure);
};

const kAddressKeys = ['saver', 'seed', 'size', 'frames', 'desktop'];
const kMaxSide = 16384;
const kMaxPixels = 8192 * 8192;
const kMouseThreshold = 4; // pixels, horizontal plus vertical, as the host counts

const page = {
  saver: 'relief',
  savers: [],
  test: null, // {seed, width, height, frames, settings: [[key, value]...], desktop}
  seed: 0,
  width: 0,
  height: 0,
  period: 0,
  generation: 0,
  timer: null, // the next tick
  ticking: null, // the promise of the tick in progress
  pauseTimer: null, // a pause's wait, and how to end it early
  pauseWake: null,
  frameDirty: false,
  picture: null, // the chosen picture as an ImageBitmap
  pictureName: '',
  storageWarned: false,
  fullscreenOrigin: null,
};
// The page's state, for the browser tests (and anyone curious).
window.saverPage = page;

// --- The browser's storage, for the settings store and the saver choice ---

function pageStorageGet(name) {
  try {
    return window.localStorage.getItem(name);
  } catch (error) {
    storageRefused(error);
    return null;
  }
}

function pageStorageSet(name, text) {
  try {
    window.localStorage.setItem(name, text);
  } catch (error) {
    storageRefused(error);
  }
}

function storageRefused(error) {
  if (page.storageWarned) return;
  page.storageWarned = true;
  console.log('saver page: the browser keeps no settings here (' + error.name + '); they last until the page is left');
}

// --- Calls into the driver ---

function withText(text, call) {
  const size = lengthBytesUTF8(text) + 1;
  const pointer = _malloc(size);
  if (!pointer) throw new Error('no memory for a text of ' + size + ' bytes');
  try {
    stringToUTF8(text, pointer, size);
    return call(pointer);
  } finally {
    _free(pointer);
  }
}

function withTexts(texts, call) {
  if (texts.length === 0) return call();
  return withText(texts[0], (first) => withTexts(texts.slice(1), (...rest) => call(first, ...rest)));
}

function saverPanel(saver) {
  return JSON.parse(withText(saver, (name) => UTF8ToString(_page_panel(name))));
}

// --- The pause seam's wait (called from page_pause_wait) ---

function pagePauseWait(milliseconds, wakeUp) {
  page.frameDirty = true;
  page.pauseWake = wakeUp;
  page.pauseTimer = setTimeout(endPause, milliseconds);
}

function endPause() {
  const wake = page.pauseWake;
  if (page.pauseTimer !== null) clearTimeout(page.pauseTimer);
  page.pauseTimer = null;
  page.pauseWake = null;
  if (wake) wake();
}

// --- The canvas ---

// Puts on the canvas what the saver drew since the last time.
function present() {
  const canvas = document.getElementById('saver');
  const pointer = _page_frame();
  if (!pointer || canvas.width !== page.width || canvas.height !== page.height) return;
  page.frameDirty = false;
  const area = HEAP32.subarray(_page_frame_area() >> 2, (_page_frame_area() >> 2) + 4);
  if (area[2] <= area[0] || area[3] <= area[1]) return;
  const bytes = new Uint8ClampedArray(HEAPU8.buffer, pointer, page.width * page.height * 4);
  canvas.getContext('2d').putImageData(new ImageData(bytes, page.width, page.height), 0, 0,
      area[0], area[1], area[2] - area[0], area[3] - area[1]);
}

function presentLoop() {
  if (page.frameDirty) present();
  requestAnimationFrame(presentLoop);
}

// --- Creating and running the saver ---

function pictureBuffer(width, height) {
  if (!page.picture || page.saver !== 'relief') {
    _page_picture_clear();
    return;
  }
  // The image's top-left part at the canvas's size, black beyond the image.
  const scratch = document.createElement('canvas');
  scratch.width = width;
  scratch.height = height;
  const context = scratch.getContext('2d', {willReadFrequently: true});
  context.drawImage(page.picture, 0, 0);
  const pixels = context.getImageData(0, 0, width, height).data;
  const pointer = _page_picture_buffer(width, height);
  if (!pointer) {
    console.log('saver page: no memory for the picture; the built-in desktop is used');
    return;
  }
  HEAPU8.set(pixels, pointer);
}

// Ends what runs: asks a waiting tick to stop and waits for it to return
// (a saver is never destroyed inside its own tick). Returns false when a
// later call has taken over.
async function stopSaver() {
  const generation = ++page.generation;
  if (page.timer !== null) clearTimeout(page.timer);
  page.timer = null;
  if (page.ticking) {
    HEAP32[_page_stop_word() >> 2] = 1;
    endPause();
    try {
      await page.ticking;
    } catch (error) {
      // reported where the tick was started
    }
  }
  return generation === page.generation;
}

function createSaver(counting) {
  pictureBuffer(page.width, page.height);
  const test = page.test;
  if (test) {
    _page_address_settings_clear();
    for (const setting of test.settings) withTexts([page.saver, setting[0], setting[1]], _page_address_setting);
  }
  const period = withText(page.saver, (name) =>
      _page_create(name, page.width, page.height, page.seed >>> 0, test ? 1 : 0, counting ? 1 : 0));
  if (period < 0) throw addressError('cannot create ' + page.saver + ' at ' + page.width + 'x' + page.height);
  page.period = period;
  page.frameDirty = true;
}

async function startLive() {
  if (!(await stopSaver())) return;
  const canvas = document.getElementById('saver');
  page.width = Math.max(1, Math.min(kMaxSide, window.innerWidth));
  page.height = Math.max(1, Math.min(kMaxSide, window.innerHeight));
  canvas.width = page.width;
  canvas.height = page.height;
  canvas.style.width = '';
  canvas.style.height = '';
  createSaver(false);
  showStatus();
  if (page.period > 0) scheduleTick(page.generation, page.period);
}

function scheduleTick(generation, delay) {
  page.timer = setTimeout(() => liveTick(generation), delay);
}

async function liveTick(generation) {
  page.timer = null;
  if (generation !== page.generation) return;
  const started = performance.now();
  page.ticking = ccall('page_tick', null, [], [], {async: true});
  try {
    await page.ticking;
  } catch (error) {
    pageFailure(error);
    return;
  } finally {
    page.ticking = null;
  }
  page.frameDirty = true;
  if (generation !== page.generation) return;
  // The next tick one period after this one began, as a timer would give it.
  scheduleTick(generation, Math.max(0, page.period - (performance.now() - started)));
}

async function runTest() {
  if (!(await stopSaver())) return;
  const test = page.test;
  const canvas = document.getElementById('saver');
  window.saverDone = false;
  page.width = test.width;
  page.height = test.height;
  canvas.width = test.width;
  canvas.height = test.height;
  canvas.style.width = test.width + 'px';
  canvas.style.height = test.height + 'px';
  const generation = page.generation;
  let started = performance.now();
  createSaver(true);
  const timing = {create: performance.now() - started, ticks: 0, present: 0};
  // The canvas takes the new surface whole, then only what the ticks draw.
  present();
  // The ticks in slices of at most about 50 ms, so the page stays awake.
  let done = 0;
  while (done < test.frames) {
    started = performance.now();
    let slice = 0;
    while (done < test.frames && performance.now() - started < 50) {
      const count = Math.min(test.frames - done, Math.max(1, slice));
      _page_ticks(count);
      done += count;
      slice = Math.max(1, slice * 2);
    }
    timing.ticks += performance.now() - started;
    await new Promise((resolve) => setTimeout(resolve, 0));
    if (generation !== page.generation) return;
  }
  started = performance.now();
  present();
  timing.present = performance.now() - started;
  timing.pauses = _page_pause_count();
  timing.pauseMilliseconds = _page_pause_milliseconds();
  window.saverTiming = timing;
  showStatus();
  window.saverDone = true;
}

function restart() {
  const run = page.test ? runTest() : startLive();
  return run.catch(pageFailure);
}

// --- The address ---

// A mistake in the address: said in its own words, without a stack.
function addressError(text) {
  const error = new Error(text);
  error.plain = true;
  return error;
}

function parseNumber(text, lowest, highest, what) {
  if (!/^[0-9]+$/.test(text)) throw addressError(what + ' must be a decimal number, not "' + text + '"');
  const value = Number(text);
  if (value < lowest || value > highest) throw addressError(what + ' must be ' + lowest + '..' + highest + ', not ' + text);
  return value;
}

function readAddress() {
  const params = new URLSearchParams(window.location.search);
  const asked = params.get('saver');
  if (asked !== null && !page.savers.includes(asked)) {
    throw addressError('saver must be one of ' + page.savers.join(', ') + ', not "' + asked + '"');
  }
  const kept = pageStorageGet('saver-page:saver');
  page.saver = asked || (page.savers.includes(kept) ? kept : page.savers[0]);
  page.seed = params.has('seed') ? parseNumber(params.get('seed'), 0, 4294967295, 'seed') : (Date.now() >>> 0);
  if (!params.has('frames')) return;
  const test = {frames: parseNumber(params.get('frames'), 0, 1e7, 'frames'), settings: [], desktop: params.get('desktop')};
  const size = params.get('size') || (window.innerWidth + 'x' + window.innerHeight);
  const match = /^([0-9]+)x([0-9]+)$/.exec(size);
  if (!match) throw addressError('size must be WxH, not "' + size + '"');
  test.width = parseNumber(match[1], 1, kMaxSide, 'width');
  test.height = parseNumber(match[2], 1, kMaxSide, 'height');
  if (test.width * test.height > kMaxPixels) throw addressError('size ' + size + ' is more than ' + kMaxPixels + ' pixels');
  params.forEach((value, key) => {
    if (!kAddressKeys.includes(key)) test.settings.push([key, value]);
  });
  page.test = test;
}

// --- The picture ---

async function decodePicture(blob) {
  // The stored colours exactly: no colour-space conversion, no premultiplied alpha.
  return createImageBitmap(blob, {colorSpaceConversion: 'none', premultiplyAlpha: 'none'});
}

async function choosePicture(file) {
  if (!file) return;
  let bitmap;
  try {
    bitmap = await decodePicture(file);
  } catch (error) {
    showMessage('"' + file.name + '" is no picture this browser can read');
    return;
  }
  page.picture = bitmap;
  page.pictureName = file.name;
  if (page.saver !== 'relief') await chooseSaver('relief');
  else await restart();
}

async function useBuiltInPicture() {
  page.picture = null;
  page.pictureName = '';
  await restart();
}

// --- The settings panel ---

function buildPanel() {
  const form = document.getElementById('panel');
  form.replaceChildren();
  const panel = saverPanel(page.saver);
  for (const group of panel.groups) {
    const fieldset = document.createElement('fieldset');
    const legend = document.createElement('legend');
    legend.textContent = group.title;
    fieldset.append(legend);
    for (const control of group.controls) fieldset.append(buildControl(control));
    form.append(fieldset);
  }
  const preview = document.createElement('canvas');
  preview.id = 'palette-preview';
  preview.width = 240;
  preview.height = 12;
  const colorRow = form.querySelector('.control[data-key="RGB"]');
  if (colorRow) colorRow.after(preview);
  showPanelValues(panel);
}

function buildControl(control) {
  const row = document.createElement('div');
  row.className = 'control ' + control.kind;
  row.dataset.key = control.key;
  const label = document.createElement('span');
  label.className = 'label';
  if (control.kind === 'range') {
    const input = newInput('range', control.key);
    input.min = control.min;
    input.max = control.max;
    input.step = 1;
    input.addEventListener('change', storePanel);
    input.addEventListener('input', () => showRangeLabel(control, input));
    row.append(label);
    if (control.low) row.append(textSpan(control.low, 'end'));
    row.append(input);
    if (control.high) row.append(textSpan(control.high, 'end'));
    row.append(textSpan('', 'value'));
  } else if (control.kind === 'check') {
    const input = newInput('checkbox', control.key);
    input.addEventListener('change', storePanel);
    const box = document.createElement('label');
    box.append(input, ' ' + control.label);
    row.append(box);
  } else if (control.kind === 'choice') {
    for (const option of control.options) {
      const input = newInput('radio', control.key);
      input.value = option.value;
      input.addEventListener('change', storePanel);
      const box = document.createElement('label');
      box.append(input, ' ' + option.text);
      row.append(box);
    }
  } else if (control.kind === 'list') {
    const select = document.createElement('select');
    select.name = control.key;
    control.options.forEach((text, line) => {
      const option = document.createElement('option');
      option.value = line;
      option.textContent = text;
      select.append(option);
    });
    select.addEventListener('change', storePanel);
    const box = document.createElement('label');
    box.append(label, select);
    row.append(box);
  } else if (control.kind === 'color') {
    const swatch = newInput('color', '');
    swatch.id = 'swatch';
    swatch.title = 'Choose the base color';
    swatch.addEventListener('change', () => {
      const rgb = [1, 3, 5].map((i) => parseInt(swatch.value.substr(i, 2), 16));
      control.keys.forEach((key, i) => { document.querySelector('input[name="' + key + '"]').value = rgb[i]; });
      storePanel();
    });
    row.append(swatch);
    for (const key of control.keys) {
      const input = newInput('number', key);
      input.min = 0;
      input.max = 255;
      input.title = key;
      input.addEventListener('change', storePanel);
      row.append(input);
    }
  }
  if (control.kind !== 'check' && control.kind !== 'color') label.textContent = control.label;
  return row;
}

function newInput(type, name) {
  const input = document.createElement('input');
  input.type = type;
  if (name) input.name = name;
  return input;
}

function textSpan(text, className) {
  const span = document.createElement('span');
  span.className = className;
  span.textContent = text;
  return span;
}

// A slider's label while it moves: the dialog's own wording where it has one.
function showRangeLabel(control, input) {
  const row = input.closest('.control');
  const value = Number(input.value);
  if (control.key === 'ColorCount') row.querySelector('.label').textContent = control.counts[value - 1] + ' colors';
  else if (control.key === 'Delay') row.querySelector('.label').textContent = 'Delay (' + value + ' ms)';
  else row.querySelector('.value').textContent = String(value);
}

function showPanelValues(panel) {
  const form = document.getElementById('panel');
  let useColor = 0;
  let color = null;
  for (const group of panel.groups) {
    for (const control of group.controls) {
      const row = form.querySelector('.control[data-key="' + control.key + '"]');
      if (control.kind === 'range') {
        const input = row.querySelector('input');
        input.value = control.value;
        row.querySelector('.label').textContent = control.label;
        row.querySelector('.value').textContent = control.key === 'ColorCount' || control.key === 'Delay' ? '' : String(control.value);
      } else if (control.kind === 'check') {
        row.querySelector('input').checked = control.value === 1;
      } else if (control.kind === 'choice') {
        for (const input of row.querySelectorAll('input')) input.checked = Number(input.value) === control.value;
        if (control.key === 'UseColor') useColor = control.value;
      } else if (control.kind === 'list') {
        row.querySelector('select').value = String(control.value);
      } else if (control.kind === 'color') {
        color = control;
        row.querySelector('#swatch').value = control.value;
        control.keys.forEach((key, i) => {
          row.querySelector('input[name="' + key + '"]').value = parseInt(control.value.substr(1 + 2 * i, 2), 16);
        });
      }
    }
  }
  // The swatch and the preview are there only for a chosen colour.
  const preview = document.getElementById('palette-preview');
  if (color) {
    form.querySelector('.control[data-key="RGB"]').hidden = useColor === 0;
    preview.hidden = useColor === 0;
    drawPalettePreview(preview, color);
  }
}

function drawPalettePreview(preview, color) {
  const rgb = [1, 3, 5].map((i) => parseInt(color.value.substr(i, 2), 16));
  const strip = JSON.parse(UTF8ToString(_page_palette_preview(rgb[0], rgb[1], rgb[2], color.colorCount, preview.width)));
  const context = preview.getContext('2d');
  strip.bands.forEach((band, i) => {
    context.fillStyle = band;
    context.fillRect(i * strip.bandWidth, 0, strip.bandWidth, preview.height);
  });
  context.fillStyle = strip.last;
  context.fillRect(strip.restLeft, 0, preview.width - strip.restLeft, preview.height);
}

// A control changed: the settings are stored from every control, as the
// dialog's OK stores them, and the saver starts again with them.
function storePanel() {
  const form = document.getElementById('panel');
  const lines = [];
  for (const element of form.elements) {
    if (!element.name) continue;
    if (element.type === 'radio' && !element.checked) continue;
    const value = element.type === 'checkbox' ? (element.checked ? 1 : 0) : element.value;
    lines.push(element.name + '=' + value);
  }
  withTexts([page.saver, lines.join('\n')], _page_panel_store);
  showPanelValues(saverPanel(page.saver));
  if (!page.test) restart();
}

// --- Choosing a saver ---

async function chooseSaver(saver) {
  page.saver = saver;
  pageStorageSet('saver-page:saver', saver);
  const params = new URLSearchParams(window.location.search);
  params.set('saver', saver);
  window.history.replaceState(null, '', '?' + params.toString());
  document.getElementById('saver-choice').value = saver;
  document.body.dataset.saver = saver;
  buildPanel();
  await restart();
}

// --- Full screen: the saver's own screen; input ends it ---

// The mouse's moves count from where it is first seen in full screen:
// screen coordinates of a position seen before may shift as the page takes
// the screen.
function enterFullscreen() {
  const stage = document.documentElement;
  if (!stage.requestFullscreen) {
    showMessage('this browser has no full screen');
    return;
  }
  page.fullscreenOrigin = null;
  stage.requestFullscreen().catch((error) => showMessage('full screen refused: ' + error.message));
}

function leaveFullscreen() {
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
}

function watchFullscreen() {
  document.addEventListener('fullscreenchange', () => {
    // (Entering, the change may come after the first moves; they stand.)
    if (!document.fullscreenElement) page.fullscreenOrigin = null;
    document.body.classList.toggle('fullscreen', Boolean(document.fullscreenElement));
  });
  document.addEventListener('keydown', (event) => {
    if (!document.fullscreenElement) return;
    event.preventDefault();
    leaveFullscreen();
  }, true);
  document.addEventListener('pointerdown', (event) => {
    if (!document.fullscreenElement) return;
    event.preventDefault();
    leaveFullscreen();
  }, true);
  document.addEventListener('mousemove', (event) => {
    if (!document.fullscreenElement) return;
    const here = {x: event.screenX, y: event.screenY};
    if (!page.fullscreenOrigin) {
      page.fullscreenOrigin = here;
      return;
    }
    const moved = Math.abs(here.x - page.fullscreenOrigin.x) + Math.abs(here.y - page.fullscreenOrigin.y);
    if (moved > kMouseThreshold) leaveFullscreen();
  }, true);
}

// --- Messages ---

function showStatus() {
  const what = page.test ? 'test run' : (page.period > 0 ? 'a tick every ' + page.period + ' ms' : 'no timer');
  const picture = page.saver === 'relief' ? (page.picture ? ' · over ' + page.pictureName : ' · over the built-in desktop') : '';
  document.getElementById('status').textContent = page.saver + ' ' + page.width + '×' + page.height + ' · ' + what + picture;
  document.getElementById('built-in').hidden = !page.picture || page.saver !== 'relief';
}

function showMessage(text) {
  console.log('saver page: ' + text);
  document.getElementById('status').textContent = text;
}

function pageFailure(error) {
  pageFail(error && error.plain ? error.message : String(error && error.stack || error));
}

// A run that cannot be made: said on the page, and to a test as saverError.
function pageFail(text) {
  console.log('saver page: ' + text);
  const status = document.getElementById('status');
  if (status) status.textContent = text;
  window.saverError = text;
}

// --- Start ---

async function pageMain() {
  page.savers = UTF8ToString(_page_saver_names()).split(',');
  readAddress();
  const choice = document.getElementById('saver-choice');
  choice.value = page.saver;
  document.body.dataset.saver = page.saver;
  document.body.classList.toggle('test', Boolean(page.test));
  choice.addEventListener('change', () => chooseSaver(choice.value));
  document.getElementById('settings-toggle').addEventListener('click', () => {
    document.getElementById('panel').hidden = !document.getElementById('panel').hidden;
  });
  document.getElementById('picture').addEventListener('change', (event) => {
    choosePicture(event.target.files[0]);
    event.target.value = '';
  });
  document.getElementById('built-in').addEventListener('click', useBuiltInPicture);
  document.getElementById('fullscreen').addEventListener('click', enterFullscreen);
  window.addEventListener('dragover', (event) => event.preventDefault());
  window.addEventListener('drop', (event) => {
    event.preventDefault();
    choosePicture(event.dataTransfer && event.dataTransfer.files[0]);
  });
  watchFullscreen();
  buildPanel();
  requestAnimationFrame(presentLoop);
  if (page.test) {
    if (page.test.desktop) {
      const response = await fetch(page.test.desktop);
      if (!response.ok) throw addressError('desktop "' + page.test.desktop + '": ' + response.status + ' ' + response.statusText);
      try {
        page.picture = await decodePicture(await response.blob());
      } catch (error) {
        throw addressError('desktop "' + page.test.desktop + '" is no picture this browser can read');
      }
      page.pictureName = page.test.desktop;
    }
    await runTest();
    return;
  }
  pageStorageSet('saver-page:saver', page.saver);
  let resizing = null;
  window.addEventListener('resize', () => {
    clearTimeout(resizing);
    resizing = setTimeout(restart, 150);
  });
  await startLive();
}
