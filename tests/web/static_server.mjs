// Serves a folder on 127.0.0.1 (a free port), plus named extra files, for the
// browser tests: the page as scripts/web.sh serves it, and test pictures
// "beside the page".
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import path from 'node:path';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.css': 'text/css; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.bmp': 'image/bmp',
};

export async function serveFolder(folder, extras = new Map()) {
  const root = path.resolve(folder);
  const server = createServer(async (request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    let file = extras.get(name);
    if (!file) {
      file = path.join(root, name === '/' ? 'index.html' : name);
      if (!file.startsWith(root + path.sep)) file = null;
    }
    try {
      if (!file) throw new Error('outside');
      const body = await readFile(file);
      response.writeHead(200, {'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream', 'Cache-Control': 'no-store'});
      response.end(body);
    } catch {
      response.writeHead(404, {'Content-Type': 'text/plain'});
      response.end('not found');
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}
