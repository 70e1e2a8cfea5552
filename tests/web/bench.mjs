// Speed of the page beside the native renderer, at 1920 x 1080 by default:
//   node tests/web/bench.mjs [WxH]
// For each case the page's test mode runs K ticks (pauses counted) in
// headless Chromium and says how long the ticks took; the renderer runs the
// same K ticks, and once with one tick, so its time per tick leaves out
// start-up, creation and the one PNG it writes. Then the live page at that
// size for 3 s: ticks and display frames a second, and the time one display
// frame takes to bring the canvas up to date (what the saver drew since the
// last one). Then each wipe in the live page (Speed 5): how long the tick
// that plays it lasts beside the pauses it asks for, and how many display
// frames the page drew meanwhile.
import {execFile} from 'node:child_process';
import {mkdtemp, rm} from 'node:fs/promises';
import path from 'node:path';
import {promisify} from 'node:util';

import {openBench, renderer, testQuery, waitForRun} from './harness.mjs';

const run = promisify(execFile);
const [width, height] = (process.argv[2] || '1920x1080').split('x').map(Number);
const cases = [
  {name: 'relief, Delay 10', saver: 'relief', frames: 300, settings: [['Delay', '10']]},
  {name: 'terrain, Speed 1', saver: 'terrain', frames: 3000, settings: [['Speed', '1'], ['Erase', '0']]},
  {name: 'terrain, Speed 5, no wipes', saver: 'terrain', frames: 1000, settings: [['Speed', '5'], ['Erase', '0']]},
  {name: 'terrain, Speed 5, random wipes', saver: 'terrain', frames: 1000, settings: [['Speed', '5'], ['Erase', '1']]},
];

async function rendererSeconds(scratch, c, frames) {
  const out = await mkdtemp(path.join(scratch, 'bench-'));
  const args = [c.saver, '--size', `${width}x${height}`, '--seed', '1', c.saver === 'terrain' ? '--ticks' : '--frames', String(frames),
    '--every', String(frames), '--out', out];
  for (const [key, value] of c.settings) args.push('--set', `${key}=${value}`);
  const started = process.hrtime.bigint();
  await run(renderer, args);
  const seconds = Number(process.hrtime.bigint() - started) / 1e9;
  await rm(out, {recursive: true, force: true});
  return seconds;
}

// The live page for 3 s with the case's settings kept in the browser.
async function livePage(tab, c) {
  await tab.evaluate((saver, settings) => {
    localStorage.clear();
    const section = saver === 'relief' ? 'ScreenSaver.Ondrels' : 'ScreenSaver.Kesmar';
    for (const [key, value] of settings) localStorage.setItem(section + ':' + key, value);
  }, c.saver, c.settings);
  await tab.goto(bench.server.url + '?saver=' + c.saver, {waitUntil: 'load'});
  await tab.waitForFunction('window.saverPage.period > 0', {polling: 50});
  return tab.evaluate(() => new Promise((resolve) => {
    const put = window.present;
    const tick = window.ccall;
    let frames = 0;
    let ticks = 0;
    let putMs = 0;
    window.present = function () {
      const started = performance.now();
      put();
      putMs += performance.now() - started;
      ++frames;
    };
    window.ccall = function (...args) {
      ++ticks;
      return tick.apply(this, args);
    };
    setTimeout(() => resolve({frames: frames / 3, ticks: ticks / 3, put: putMs / Math.max(1, frames)}), 3000);
  }));
}

const bench = await openBench(new Map());
try {
  console.log(`| ${width} × ${height} | page ms/tick | renderer ms/tick | live: ticks/s | live: frames/s | live: ms a frame to the canvas |`);
  console.log('|---|---|---|---|---|---|');
  for (const c of cases) {
    const tab = await bench.open(testQuery({saver: c.saver, width, height, seed: 1, frames: c.frames, settings: c.settings}));
    await waitForRun(tab, 600000);
    const timing = await tab.evaluate(() => window.saverTiming);
    const pageTick = timing.ticks / c.frames;
    const native = ((await rendererSeconds(bench.scratch, c, c.frames)) - (await rendererSeconds(bench.scratch, c, 1))) * 1000 / (c.frames - 1);
    await tab.setViewport({width, height});
    const live = await livePage(tab, c);
    await tab.close();
    console.log(`| ${c.name} | ${pageTick.toFixed(3)} | ${native.toFixed(3)} | ${live.ticks.toFixed(0)} | ${live.frames.toFixed(0)} | ${live.put.toFixed(2)} |`);
  }
  console.log();
  console.log(`| wipe in the live page, ${width} × ${height} | pauses (ms) | tick (ms) | tick ÷ pauses | display frames during it |`);
  console.log('|---|---|---|---|---|');
  const tab = await bench.open('?saver=terrain');
  await tab.setViewport({width, height});
  for (let erase = 2; erase <= 16; ++erase) {
    await tab.evaluate((e) => {
      localStorage.setItem('ScreenSaver.Kesmar:Speed', '5');
      localStorage.setItem('ScreenSaver.Kesmar:Erase', String(e));
    }, erase);
    await tab.reload({waitUntil: 'load'});
    // The tick that plays the first wipe: the 26th.
    const result = await tab.evaluate(() => new Promise((resolve) => {
      const original = window.ccall;
      let ticks = 0;
      let frames = 0;
      const countFrames = () => { ++frames; requestAnimationFrame(countFrames); };
      window.ccall = function (...args) {
        const started = performance.now();
        const pausedBefore = _page_pause_milliseconds();
        const framesBefore = frames;
        const done = original.apply(this, args);
        if (++ticks === 26) {
          Promise.resolve(done).then(() => resolve({
            tick: performance.now() - started, pauses: _page_pause_milliseconds() - pausedBefore, frames: frames - framesBefore,
          }));
        }
        return done;
      };
      requestAnimationFrame(countFrames);
    }));
    const name = await tab.$eval('select[name="Erase"]', (select) => select.selectedOptions[0].textContent);
    console.log(`| ${erase - 2} ${name} | ${result.pauses} | ${result.tick.toFixed(0)} | ${result.pauses ? (result.tick / result.pauses).toFixed(3) : '–'} | ${result.frames} |`);
  }
} finally {
  await bench.close();
}
