// What the browser tests share: the system's Chromium under puppeteer-core,
// the page served from build/web, the renderer's frames as the expected
// pictures, and a record of everything the pages said in their consoles.
import {execFile} from 'node:child_process';
import {access, mkdtemp, readFile, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {promisify} from 'node:util';
import puppeteer from 'puppeteer-core';

import {decodePng} from './png.mjs';
import {serveFolder} from '../../web/serve.mjs';

const run = promisify(execFile);
export const top = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
export const webFolder = process.env.SAVER_WEB_DIR || path.join(top, 'build/web');
export const renderer = process.env.SAVER_RENDER || path.join(top, 'build/native/bin/saver-render');
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';

// Chromium headless as root on a machine with no network to speak of: no
// sandbox, no GPU, none of its own background traffic, a fresh profile.
export async function launchBrowser(profile) {
  return puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--disable-dev-shm-usage'],
    defaultViewport: {width: 1024, height: 768},
  });
}

// A browser, the page's server and a scratch folder for one test file.
export async function openBench(extras = new Map()) {
  for (const [file, how] of [[path.join(webFolder, 'saver.wasm'), 'bash scripts/web.sh --build-only'], [renderer, 'bash scripts/build.sh native']]) {
    try {
      await access(file);
    } catch {
      throw new Error(`${file} is missing: ${how} makes it`);
    }
  }
  const scratch = await mkdtemp(path.join(tmpdir(), 'saver-page-'));
  const server = await serveFolder(webFolder, 0, extras);
  const browser = await launchBrowser(path.join(scratch, 'profile'));
  const said = []; // every console message and failure of every page
  return {
    scratch, server, browser, said, extras,
    async open(query) {
      const tab = await browser.newPage();
      tab.on('console', (message) => said.push({type: message.type(), text: message.text(), query}));
      tab.on('pageerror', (error) => said.push({type: 'pageerror', text: String(error), query}));
      tab.on('requestfailed', (request) => said.push({type: 'requestfailed', text: request.url(), query}));
      tab.on('response', (response) => {
        if (response.status() >= 400) said.push({type: 'http ' + response.status(), text: response.url(), query});
      });
      await tab.goto(server.url + query, {waitUntil: 'load'});
      return tab;
    },
    async close() {
      await browser.close();
      await server.close();
      await rm(scratch, {recursive: true, force: true});
    },
  };
}

// Waits for the test mode's run to end; a run the page cannot make fails
// with the page's own words.
export async function waitForRun(tab, timeout = 120000) {
  await tab.waitForFunction('window.saverDone === true || window.saverError !== undefined', {timeout, polling: 50});
  const error = await tab.evaluate(() => window.saverError);
  if (error !== undefined) throw new Error('the page says: ' + error);
}

// The canvas's pixels as the page reads them back: width, height, RGBA.
export async function canvasPixels(tab) {
  const {width, height, data} = await tab.evaluate(() => {
    const canvas = document.getElementById('saver');
    const bytes = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return {width: canvas.width, height: canvas.height, data: btoa(text)};
  });
  return {width, height, rgba: Buffer.from(data, 'base64')};
}

// The renderer's frame for the same run: `saver-render relief ... --frames K`
// or `saver-render terrain ... --ticks K`, with --set for each setting.
export async function rendererFrame(scratch, {saver, width, height, seed, frames, settings = [], desktop}) {
  const out = await mkdtemp(path.join(scratch, 'frames-'));
  const args = [saver, '--size', `${width}x${height}`, '--seed', String(seed), saver === 'terrain' ? '--ticks' : '--frames', String(frames),
    '--every', String(frames), '--out', out];
  for (const [key, value] of settings) args.push('--set', `${key}=${value}`);
  if (desktop) args.push('--desktop', desktop);
  await run(renderer, args);
  const frame = decodePng(await readFile(path.join(out, `frame-${String(frames).padStart(5, '0')}.png`)));
  await rm(out, {recursive: true, force: true});
  return frame;
}

// Where the canvas differs from the frame: null when equal byte for byte
// (every alpha opaque), else how many pixels differ and the first of them.
export function frameDifference(canvas, frame) {
  if (canvas.width !== frame.width || canvas.height !== frame.height) {
    return `canvas ${canvas.width}x${canvas.height}, frame ${frame.width}x${frame.height}`;
  }
  let count = 0;
  let first = null;
  for (let p = 0; p < frame.width * frame.height; ++p) {
    const c = canvas.rgba.subarray(p * 4, p * 4 + 4);
    const f = frame.rgb.subarray(p * 3, p * 3 + 3);
    if (c[0] !== f[0] || c[1] !== f[1] || c[2] !== f[2] || c[3] !== 255) {
      ++count;
      if (!first) first = `(${p % frame.width}, ${Math.floor(p / frame.width)}): canvas ${[...c]} frame ${[...f]}`;
    }
  }
  return count === 0 ? null : `${count} pixels differ, first at ${first}`;
}

export function testQuery({saver, width, height, seed, frames, settings = [], desktop}) {
  const params = new URLSearchParams({saver, seed: String(seed), size: `${width}x${height}`, frames: String(frames)});
  if (desktop) params.set('desktop', desktop);
  for (const [key, value] of settings) params.append(key, value);
  return '?' + params.toString();
}
