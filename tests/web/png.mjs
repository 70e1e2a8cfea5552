// Reads the renderer's frames: 8-bit PNG, greyscale, RGB or RGBA (with or
// without alpha), not interlaced, into top-down RGB. Anything else is refused
// rather than guessed at.
import {inflateSync} from 'node:zlib';

const kSignature = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
const kChannels = {0: 1, 2: 3, 4: 2, 6: 4};

export function decodePng(bytes) {
  if (bytes.length < 8 || !bytes.subarray(0, 8).equals(kSignature)) throw new Error('not a PNG file');
  let header = null;
  const data = [];
  for (let at = 8; at + 8 <= bytes.length;) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (body.length !== length) throw new Error('PNG chunk ' + type + ' is cut short');
    if (type === 'IHDR') {
      header = {width: body.readUInt32BE(0), height: body.readUInt32BE(4), depth: body[8], colorType: body[9], interlace: body[12]};
    } else if (type === 'IDAT') {
      data.push(body);
    } else if (type === 'IEND') {
      break;
    }
    at += 12 + length;
  }
  if (!header) throw new Error('PNG without a header');
  const channels = kChannels[header.colorType];
  if (header.depth !== 8 || !channels || header.interlace !== 0) {
    throw new Error(`PNG kind not read here: depth ${header.depth}, colour type ${header.colorType}, interlace ${header.interlace}`);
  }
  const {width, height} = header;
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  if (raw.length < height * (stride + 1)) throw new Error('PNG image data is cut short');
  const rows = Buffer.alloc(height * stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const out = rows.subarray(y * stride, (y + 1) * stride);
    const up = y > 0 ? rows.subarray((y - 1) * stride, y * stride) : Buffer.alloc(stride);
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? out[i - channels] : 0;
      const b = up[i];
      const c = i >= channels ? up[i - channels] : 0;
      let predictor;
      switch (filter) {
        case 0: predictor = 0; break;
        case 1: predictor = a; break;
        case 2: predictor = b; break;
        case 3: predictor = (a + b) >> 1; break;
        case 4: {
          const p = a + b - c;
          const pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
          predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
          break;
        }
        default: throw new Error('PNG row ' + y + ' has unknown filter ' + filter);
      }
      out[i] = (line[i] + predictor) & 0xff;
    }
  }
  const rgb = Buffer.alloc(width * height * 3);
  for (let p = 0; p < width * height; ++p) {
    const from = p * channels;
    if (channels <= 2) {
      rgb[p * 3] = rgb[p * 3 + 1] = rgb[p * 3 + 2] = rows[from];
    } else {
      rgb[p * 3] = rows[from];
      rgb[p * 3 + 1] = rows[from + 1];
      rgb[p * 3 + 2] = rows[from + 2];
    }
  }
  return {width, height, rgb};
}
