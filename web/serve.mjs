// Serves the page's folder on 127.0.0.1, nothing else, until stopped:
//   node web/serve.mjs FOLDER [PORT]
// scripts/web.sh runs it on build/web; the browser tests import serveFolder
// to serve the page (on a free port) and their test pictures beside it.
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.css': 'text/css; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.jpg': 'image/jpeg',
  '.bmp': 'image/bmp',
};

// extras: more files by address ("/picture.png" -> a path), for the tests.
export async function serveFolder(folder, port = 0, extras = new Map()) {
  const root = path.resolve(folder);
  const server = createServer(async (request, response) => {
    let file = null;
    try {
      const name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
      file = extras.get(name) || path.join(root, name === '/' ? 'index.html' : name);
      if (!extras.has(name) && !file.startsWith(root + path.sep)) file = null;
    } catch {
      file = null; // an address that does not decode
    }
    try {
      if (file === null || (request.method !== 'GET' && request.method !== 'HEAD')) throw new Error('refused');
      const body = await readFile(file);
      response.writeHead(200, {'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-store'});
      response.end(request.method === 'HEAD' ? undefined : body);
    } catch {
      response.writeHead(404, {'Content-Type': 'text/plain; charset=utf-8'});
      response.end('not found\n');
    }
  });
  await new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', resolve);
  });
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

if (process.argv[1] && path.resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const folder = process.argv[2];
  const port = Number(process.argv[3] || 8080);
  if (!folder || !Number.isInteger(port) || port < 0 || port > 65535) {
    console.error('usage: node web/serve.mjs FOLDER [PORT]');
    process.exit(2);
  }
  serveFolder(folder, port).then((served) => {
    console.log(`serving ${path.resolve(folder)} at ${served.url} (Ctrl-C stops)`);
    const stop = () => served.close().then(() => process.exit(0));
    process.on('SIGINT', stop);
    process.on('SIGTERM', stop);
  }, (error) => {
    console.error(`web: cannot serve on 127.0.0.1:${port}: ${error.message}`);
    process.exit(1);
  });
}
