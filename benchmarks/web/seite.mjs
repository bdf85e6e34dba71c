// The browser build's figures, in headless chromium against the site served on 127.0.0.1: the
// game loop's pass (the measuring page, bench/durchlauf.html) against the same program run
// natively, in turns; and the game page's load, its bytes and the time from the address to the
// first picture on the canvas. One line a figure, the medians of the turns and loads:
//
//     native frame_start_us 11.9
//     page frame_start_us 23.1
//     native frame_worst_us 35.2
//     page frame_worst_us 61.0
//     page site_bytes 2345678
//     page first_picture_ms 412
//
// Environment: KORVAN_SITE and KORVAN_WEB_BENCH (the two folders served), KORVAN_PASS and
// KORVAN_RUN_DIR (the native program and its run folder), KORVAN_NODE_MODULES (where
// playwright-core is), KORVAN_CHROMIUM.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import path from 'node:path';

const { KORVAN_SITE: site, KORVAN_WEB_BENCH: bench } = process.env;
const { chromium } = createRequire(process.env.KORVAN_NODE_MODULES + '/')('playwright-core');
// Turns of the native program and the measuring page, and loads of the game's page: on a
// shared machine the others' load comes and goes, and every turn meets it alike.
const TURNS = 5;
const LOADS = 5;

const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];
const files = (dir) => fs.readdirSync(dir, { withFileTypes: true })
  .flatMap((e) => (e.isDirectory() ? files(path.join(dir, e.name)) : [path.join(dir, e.name)]));

const server = http.createServer((req, res) => {
  const name = path.basename(new URL(req.url, 'http://x').pathname);
  const file = [site, bench].map((d) => path.join(d, name)).find((f) => fs.statSync(f, { throwIfNoEntry: false })?.isFile());
  const type = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.html': 'text/html', '.css': 'text/css' }[path.extname(name)];
  // Isolated, the page's clock is fine enough for runs of a millisecond.
  const headers = { 'Cross-Origin-Opener-Policy': 'same-origin', 'Cross-Origin-Embedder-Policy': 'require-corp', ...(type && { 'Content-Type': type }) };
  file ? res.writeHead(200, headers).end(fs.readFileSync(file)) : res.writeHead(404).end();
}).listen(0, '127.0.0.1');
await new Promise((resolve) => server.once('listening', resolve));
const url = (file) => `http://127.0.0.1:${server.address().port}/${file}`;
const browser = await chromium.launch({ executablePath: process.env.KORVAN_CHROMIUM, args: ['--no-sandbox'] });

try {
  // The pass: both programs print their own lines, the native one among the game's start-up.
  const figures = (lines) => Object.fromEntries(lines.map((l) => /^(frame_(?:start|worst)_us) ([0-9.]+)$/.exec(l))
    .filter(Boolean).map((m) => [m[1], Number(m[2])]));
  const turns = { native: [], page: [] };
  const page = await browser.newPage();
  for (let i = 0; i < TURNS; i++) {
    turns.native.push(figures(execFileSync(process.env.KORVAN_PASS, [process.env.KORVAN_RUN_DIR], { encoding: 'latin1' }).split('\n')));
    await page.goto(url('durchlauf.html'));
    const { status, lines, isolated } = await page.evaluate(async () => ({ status: await window.ended, lines: window.lines, isolated: crossOriginIsolated }));
    if (!isolated) throw new Error('the measuring page is not isolated: its clock is too coarse');
    turns.page.push(figures(lines));
    if (status !== 0 || Object.keys(turns.page.at(-1)).length !== 2) throw new Error(`the measuring page ended with ${status}:\n${lines.join('\n')}`);
  }
  await page.close();
  for (const name of ['frame_start_us', 'frame_worst_us']) {
    for (const side of ['native', 'page']) console.log(`${side} ${name} ${median(turns[side].map((t) => t[name])).toFixed(3)}`);
  }

  // The load: each time in a fresh context (nothing cached), from the start of the navigation
  // to the first picture put on the canvas that is not one colour all over.
  const times = [];
  for (let i = 0; i < LOADS; i++) {
    const context = await browser.newContext();
    const load = await context.newPage();
    await load.addInitScript(() => {
      const put = CanvasRenderingContext2D.prototype.putImageData;
      CanvasRenderingContext2D.prototype.putImageData = function (data, ...rest) {
        put.call(this, data, ...rest);
        const px = new Uint32Array(data.data.buffer, data.data.byteOffset, data.data.length / 4);
        if (window.firstPicture === undefined && px.some((p) => p !== px[0])) window.firstPicture = performance.now();
      };
    });
    await load.goto(url('index.html'));
    await load.waitForFunction(() => window.firstPicture !== undefined, null, { timeout: 120000 });
    times.push(await load.evaluate(() => window.firstPicture));
    await context.close();
  }
  const bytes = files(site).reduce((sum, f) => sum + fs.statSync(f).size, 0);
  console.log(`page site_bytes ${bytes}\npage first_picture_ms ${median(times).toFixed(0)}`);
} finally {
  await browser.close();
  server.close();
}
