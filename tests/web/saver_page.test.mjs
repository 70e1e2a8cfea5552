// The web page in a real browser (Debian's Chromium, headless): its canvas
// against the renderer's frames byte for byte, a chosen picture, settings
// that survive a reload, the live page's animation and wipes, full screen,
// and a console with no error in it.
//   cd tests/web && node --test
import assert from 'node:assert/strict';
import {execFile} from 'node:child_process';
import {readFile} from 'node:fs/promises';
import path from 'node:path';
import {after, before, describe, test} from 'node:test';
import {promisify} from 'node:util';

import {canvasPixels, frameDifference, openBench, renderer, rendererFrame, testQuery, top, waitForRun} from './harness.mjs';

const run = promisify(execFile);
const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

let bench;
let picture; // a picture with every kind of colour, smaller than one canvas and larger than another

before(async () => {
  bench = await openBench(new Map([['/test-picture.png', '']]));
  // The test picture: a terrain frame of the renderer's, an 8-bit RGB PNG
  // with no colour-space chunk, which the browser decodes exactly.
  const out = path.join(bench.scratch, 'picture');
  await run(renderer, ['terrain', '--size', '500x380', '--seed', '11', '--ticks', '40', '--every', '40', '--set', 'Speed=5', '--out', out]);
  picture = path.join(out, 'frame-00040.png');
  bench.extras.set('/test-picture.png', picture);
  // Settings kept in the browser that a test run must not read.
  const tab = await bench.open('?saver=relief');
  await tab.evaluate(() => {
    for (const [key, value] of [['ScreenSaver.Ondrels:Soften', '7'], ['ScreenSaver.Ondrels:Degrees', '333'], ['ScreenSaver.Ondrels:Invert', '1'],
      ['ScreenSaver.Kesmar:Speed', '2'], ['ScreenSaver.Kesmar:Color', '4'], ['ScreenSaver.Kesmar:Erase', '5']]) {
      localStorage.setItem(key, value);
    }
  });
  await tab.close();
});

after(async () => {
  await bench?.close();
});

// Runs the page's test mode and the renderer with the same arguments.
async function compareRun(runArgs) {
  const tab = await bench.open(testQuery(runArgs));
  await waitForRun(tab);
  const canvas = await canvasPixels(tab);
  const timing = await tab.evaluate(() => window.saverTiming);
  await tab.close();
  const frame = await rendererFrame(bench.scratch, {...runArgs, desktop: runArgs.desktop && picture});
  return {canvas, frame, timing};
}

describe('the canvas is the renderer\'s frame, byte for byte', () => {
  const reliefRuns = [
    {saver: 'relief', width: 320, height: 240, seed: 1, frames: 12},
    {saver: 'relief', width: 641, height: 479, seed: 4000000000, frames: 30,
      settings: [['Degrees', '300'], ['ColorCount', '8'], ['Soften', '3'], ['Invert', '1']]},
    // narrower than half its height: the lens's column runs signed
    {saver: 'relief', width: 150, height: 400, seed: 42, frames: 25,
      settings: [['UseColor', '1'], ['RGB_Red', '200'], ['RGB_Green', '30'], ['RGB_Blue', '90'], ['ColorCount', '128'], ['Bogus', '1']]},
  ];
  for (const runArgs of reliefRuns) {
    test(`relief ${runArgs.width}x${runArgs.height} seed ${runArgs.seed}, ${runArgs.frames} frames, ${JSON.stringify(runArgs.settings || [])}`, async () => {
      const {canvas, frame} = await compareRun(runArgs);
      assert.equal(frameDifference(canvas, frame), null);
    });
  }

  test('a setting the saver does not read is a plain log line of the compiled code', () => {
    const said = bench.said.filter((m) => m.text.includes("relief has no setting 'Bogus'"));
    assert.equal(said.length, 1, JSON.stringify(bench.said));
    assert.equal(said[0].type, 'log');
  });

  const terrainRuns = [
    // 25 ticks a scene: five scenes with a random wipe between each two
    {saver: 'terrain', width: 320, height: 240, seed: 3, frames: 130, settings: [['Speed', '5']]},
    {saver: 'terrain', width: 400, height: 300, seed: 99, frames: 60,
      settings: [['Speed', '5'], ['Erase', '13'], ['Color', '3'], ['Mode', '2'], ['Level', '1'], ['Threshold', '2'], ['Depth', '-5']]},
    // the fizzle, which never pauses, and a scene cut short by it
    {saver: 'terrain', width: 333, height: 222, seed: 5, frames: 40, settings: [['Speed', '5'], ['Erase', '9'], ['Depth', '60']]},
    // most of one scene and no other: only the quads' own areas reach the canvas
    {saver: 'terrain', width: 256, height: 256, seed: 8, frames: 450, settings: [['Speed', '3'], ['Erase', '0']]},
  ];
  for (const runArgs of terrainRuns) {
    test(`terrain ${runArgs.width}x${runArgs.height} seed ${runArgs.seed}, ${runArgs.frames} ticks, ${JSON.stringify(runArgs.settings)}`, async () => {
      const {canvas, frame, timing} = await compareRun(runArgs);
      assert.equal(frameDifference(canvas, frame), null);
      // The wipes' pauses were counted, as many as the renderer makes.
      const args = ['terrain', '--size', `${runArgs.width}x${runArgs.height}`, '--seed', String(runArgs.seed), '--ticks', String(runArgs.frames),
        '--every', String(runArgs.frames + 1), '--out', path.join(bench.scratch, 'unused'), '--trace-draw'];
      for (const [key, value] of runArgs.settings) args.push('--set', `${key}=${value}`);
      const {stdout} = await run(renderer, args, {maxBuffer: 1 << 28});
      const sleeps = stdout.split('\n').filter((line) => line.startsWith('sleep '));
      assert.equal(timing.pauses, sleeps.length);
      assert.equal(timing.pauseMilliseconds, sleeps.reduce((sum, line) => sum + Math.max(0, Number(line.slice(6))), 0));
    });
  }
});

// The one page whose failing answer (a 404) is on purpose.
const kMissingDesktop = '?saver=relief&frames=1&desktop=missing.png';

test('an address the test mode cannot run is an error, never a finished run', async () => {
  for (const [query, said] of [['?saver=nope&frames=1', 'saver must be one of relief, terrain'], ['?saver=relief&size=0x5&frames=1', 'width must be 1..16384'],
    ['?saver=terrain&seed=-1&frames=2', 'seed must be a decimal number'], [kMissingDesktop, 'desktop "missing.png": 404']]) {
    const tab = await bench.open(query);
    await assert.rejects(waitForRun(tab), new RegExp(said.replace(/[.()]/g, '\\$&')));
    assert.notEqual(await tab.evaluate(() => window.saverDone), true);
    await tab.close();
  }
});

describe('a chosen picture is the relief\'s desktop', () => {
  const runArgs = {saver: 'relief', width: 640, height: 360, seed: 21, frames: 15};

  test('the renderer\'s frames over the picture and over the built-in desktop differ', async () => {
    const over = await rendererFrame(bench.scratch, {...runArgs, desktop: picture});
    const builtIn = await rendererFrame(bench.scratch, runArgs);
    assert.notEqual(frameDifference({width: builtIn.width, height: builtIn.height, rgba: rgbaOf(builtIn)}, over), null);
  });

  test('desktop=PATH in the address, on a canvas larger than the picture on one side and smaller on the other', async () => {
    const {canvas, frame} = await compareRun({...runArgs, desktop: 'test-picture.png'});
    assert.equal(frameDifference(canvas, frame), null);
  });

  test('"Use a picture…" and a picture dropped on the page start the run again over it', async () => {
    const frame = await rendererFrame(bench.scratch, {...runArgs, desktop: picture});
    const tab = await bench.open(testQuery(runArgs));
    await waitForRun(tab);
    const input = await tab.$('#picture');
    await input.uploadFile(picture);
    await tab.waitForFunction('window.saverDone === true && window.saverPage.picture !== null', {polling: 50});
    assert.equal(frameDifference(await canvasPixels(tab), frame), null);

    await tab.click('#built-in');
    await tab.waitForFunction('window.saverDone === true && window.saverPage.picture === null', {polling: 50});
    assert.notEqual(frameDifference(await canvasPixels(tab), frame), null);

    const bytes = (await readFile(picture)).toString('base64');
    await tab.evaluate((data) => {
      const file = new File([Uint8Array.from(atob(data), (c) => c.charCodeAt(0))], 'dropped.png', {type: 'image/png'});
      const transfer = new DataTransfer();
      transfer.items.add(file);
      document.getElementById('saver').dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
    }, bytes);
    await tab.waitForFunction('window.saverDone === true && window.saverPage.picture !== null', {polling: 50});
    assert.equal(frameDifference(await canvasPixels(tab), frame), null);

    // Not a picture: said on the page, the run stays as it was.
    await tab.evaluate(() => {
      const transfer = new DataTransfer();
      transfer.items.add(new File(['no picture'], 'notes.txt', {type: 'text/plain'}));
      document.getElementById('saver').dispatchEvent(new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));
    });
    await tab.waitForFunction('document.getElementById("status").textContent.includes("notes.txt")', {polling: 50});
    assert.equal(frameDifference(await canvasPixels(tab), frame), null);
    await tab.close();
  });
});

describe('the settings panel', () => {
  test('has the relief dialog\'s slider ranges', async () => {
    const dialog = await readFile(path.join(top, 'relief/relief_dialog_logic.cpp'), 'utf8');
    const tab = await bench.open('?saver=relief');
    for (const [key, name] of [['Degrees', 'kReliefDegreesSlider'], ['Soften', 'kReliefSoftenSlider'], ['Delay', 'kReliefDelaySlider'], ['ColorCount', 'kReliefColorsSlider']]) {
      const setup = new RegExp(`\\{${name}, (\\w+), (\\w+),`).exec(dialog);
      assert.ok(setup, name + ' not found in relief_dialog_logic.cpp');
      const [min, max] = await tab.$eval(`input[name="${key}"]`, (input) => [input.min, input.max]);
      const number = (text) => (text === 'kColorSliderFirst' ? '1' : text === 'kColorSliderLast' ? '6' : text);
      assert.deepEqual([min, max], [number(setup[1]), number(setup[2])], key);
    }
    await tab.close();
  });

  test('a change takes effect at once and survives a reload', async () => {
    const tab = await bench.open('?saver=relief');
    const change = async (selector, value) => {
      await tab.$eval(selector, (element, v) => {
        if (element.type === 'checkbox' || element.type === 'radio') element.checked = v;
        else element.value = v;
        element.dispatchEvent(new Event('change'));
      }, value);
    };
    await change('input[name="Delay"]', '250');
    await change('input[name="ColorCount"]', '3');
    await change('input[name="Invert"]', true);
    await change('input[name="UseColor"][value="1"]', true);
    await change('input[name="RGB_Green"]', '77');
    const shown = async () => tab.evaluate(() => ({
      delay: document.querySelector('input[name="Delay"]').value,
      colors: document.querySelector('.control[data-key="ColorCount"] .label').textContent,
      delayLabel: document.querySelector('.control[data-key="Delay"] .label').textContent,
      invert: document.querySelector('input[name="Invert"]').checked,
      useColor: document.querySelector('input[name="UseColor"]:checked').value,
      green: document.querySelector('input[name="RGB_Green"]').value,
      period: window.saverPage.period,
    }));
    const expected = {delay: '250', colors: '16 colors', delayLabel: 'Delay (250 ms)', invert: true, useColor: '1', green: '77', period: 250};
    await tab.waitForFunction('window.saverPage.period === 250', {polling: 50, timeout: 5000});
    assert.deepEqual(await shown(), expected);
    await tab.reload({waitUntil: 'load'});
    await tab.waitForFunction('window.saverPage.period > 0', {polling: 50, timeout: 5000});
    assert.deepEqual(await shown(), expected);

    await tab.select('#saver-choice', 'terrain');
    await tab.waitForFunction('window.saverPage.saver === "terrain" && document.querySelector(\'select[name="Erase"]\') !== null', {polling: 50});
    await change('select[name="Erase"]', '6');
    await change('input[name="Speed"]', '4');
    await tab.reload({waitUntil: 'load'});
    await tab.waitForFunction('window.saverPage.saver === "terrain" && window.saverPage.period > 0', {polling: 50, timeout: 5000});
    assert.deepEqual(await tab.evaluate(() => [document.querySelector('select[name="Erase"]').value,
      document.querySelector('select[name="Erase"]').selectedOptions[0].textContent, document.querySelector('input[name="Speed"]').value]),
    ['6', 'Circle wipe', '4']);
    await tab.close();
  });
});

describe('the live page', () => {
  test('without test parameters the relief and the terrain animate, and follow the window\'s size', async () => {
    for (const saver of ['relief', 'terrain']) {
      const tab = await bench.open('?saver=' + saver);
      await tab.waitForFunction('window.saverPage.period > 0', {polling: 50});
      const first = await canvasPixels(tab);
      await tab.waitForFunction((before) => {
        const canvas = document.getElementById('saver');
        const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let sum = 0;
        for (let i = 0; i < data.length; i += 7) sum = (sum * 31 + data[i]) >>> 0;
        return sum !== before;
      }, {polling: 100, timeout: 10000}, checksum(first.rgba));
      // A new window size starts the saver anew at that size.
      await tab.setViewport({width: 700, height: 500});
      await tab.waitForFunction('window.saverPage.width === 700 && window.saverPage.height === 500 && window.saverPage.period > 0',
        {polling: 50, timeout: 5000});
      assert.deepEqual(await tab.$eval('#saver', (canvas) => [canvas.width, canvas.height]), [700, 500]);
      await tab.close();
    }
  });

  test('a wipe lets the page draw and take input, and a change inside it ends it at once', async () => {
    const tab = await bench.open('?saver=terrain');
    // Speed 5 and the squarerate wipe: a scene every 25 ticks, and 2.6 s of pauses.
    await tab.evaluate(() => {
      localStorage.setItem('ScreenSaver.Kesmar:Speed', '5');
      localStorage.setItem('ScreenSaver.Kesmar:Erase', '8');
    });
    await tab.reload({waitUntil: 'load'});
    await tab.waitForFunction('window.saverPage.pauseTimer !== null', {polling: 20, timeout: 10000});
    const frames = await tab.evaluate(() => new Promise((resolve) => {
      let count = 0;
      const started = performance.now();
      const count_ = () => (performance.now() - started < 500 ? (++count, requestAnimationFrame(count_)) : resolve(count));
      requestAnimationFrame(count_);
    }));
    assert.ok(frames >= 10, `${frames} display frames in 500 ms inside a wipe`);
    assert.ok(await tab.evaluate(() => window.saverPage.ticking !== null), 'still inside the wipe');
    const generation = await tab.evaluate(() => window.saverPage.generation);
    const started = Date.now();
    await tab.$eval('select[name="Erase"]', (select) => {
      select.value = '0';
      select.dispatchEvent(new Event('change'));
    });
    await tab.waitForFunction((g) => window.saverPage.generation > g && window.saverPage.ticking === null && window.saverPage.timer !== null,
      {polling: 10, timeout: 5000}, generation);
    assert.ok(Date.now() - started < 1000, `the wipe took ${Date.now() - started} ms to give way`);
    await tab.close();
  });

  test('full screen: a move of 4 pixels keeps it, a fifth leaves it, and so do a key and a button', async () => {
    const tab = await bench.open('?saver=terrain');
    await tab.waitForFunction('window.saverPage.period > 0', {polling: 50});
    const inFullscreen = () => tab.evaluate(() => document.fullscreenElement !== null);
    // Entered and left once the page has heard of it (the change event).
    const left = () => tab.waitForFunction('!document.body.classList.contains("fullscreen")', {polling: 20, timeout: 2000});
    const enter = async () => {
      await tab.focus('#fullscreen');
      await tab.keyboard.press('Enter');
      await tab.waitForFunction('document.body.classList.contains("fullscreen")', {polling: 20, timeout: 5000});
    };
    // Moves count from the first position seen in full screen (the browser
    // may report the resting cursor there itself as the page changes).
    await tab.mouse.move(500, 400);
    await enter();
    await tab.mouse.move(500, 400);
    await tab.mouse.move(502, 398);
    await tab.mouse.move(501, 403);
    await pause(100);
    assert.equal(await inFullscreen(), true);
    await tab.mouse.move(503, 402);
    await left();
    await enter();
    await tab.keyboard.press('Shift');
    await left();
    await enter();
    await tab.mouse.down();
    await tab.mouse.up();
    await left();
    await tab.close();
  });
});

test('nothing was written to any console as an error, and every request was answered', () => {
  const bad = bench.said.filter((m) => m.query !== kMissingDesktop).filter((m) => m.type === 'error' || m.type === 'pageerror' || m.type === 'requestfailed' || m.type.startsWith('http '));
  assert.deepEqual(bad, []);
});

function checksum(rgba) {
  let sum = 0;
  for (let i = 0; i < rgba.length; i += 7) sum = (sum * 31 + rgba[i]) >>> 0;
  return sum;
}

function rgbaOf(frame) {
  const rgba = Buffer.alloc(frame.width * frame.height * 4);
  for (let p = 0; p < frame.width * frame.height; ++p) {
    frame.rgb.copy(rgba, p * 4, p * 3, p * 3 + 3);
    rgba[p * 4 + 3] = 255;
  }
  return rgba;
}
