// The browser build in headless chromium against the native programs of the same tree, one row
// (the argument) a run: scripted games, real input, the viewer.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import path from 'node:path';

const { KORVAN_SITE: site, KORVAN_RUN_DIR: run, KORVAN_SCRIPTS: scripts, KORVAN_PCX: pcx } = process.env;
const { chromium } = createRequire(process.env.KORVAN_NODE_MODULES + '/')('playwright-core');
const sha = (bytes) => createHash('sha256').update(bytes).digest('hex');
// The site on a free port of 127.0.0.1; what it does not hold, the scripted games' folder serves.
const server = http.createServer((req, res) => {
  const name = path.basename(new URL(req.url, 'http://x').pathname);
  const file = [site, scripts].map((d) => path.join(d, name)).find((f) => fs.statSync(f, { throwIfNoEntry: false })?.isFile());
  const type = { '.js': 'text/javascript', '.wasm': 'application/wasm', '.html': 'text/html' }[path.extname(name)];
  file ? res.writeHead(200, type && { 'Content-Type': type }).end(fs.readFileSync(file)) : res.writeHead(404).end();
}).listen(0, '127.0.0.1');
const browser = await chromium.launch({ executablePath: process.env.KORVAN_CHROMIUM, args: ['--no-sandbox'] });
const page = await browser.newPage({ viewport: { width: 1400, height: 1100 } });
const open = (file, display) => page.goto(`http://127.0.0.1:${server.address().port}/${file}?display=${display}`);
// In the page: SHA-256 digests, and the canvas as a PPM picture.
await page.addInitScript(() => {
  window.sha = async (b) => [...new Uint8Array(await crypto.subtle.digest('SHA-256', b))].map((x) => x.toString(16).padStart(2, '0')).join('');
  window.ppm = () => {
    const c = document.getElementById('screen'), d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    return new Uint8Array([...new TextEncoder().encode(`P6\n${c.width} ${c.height}\n255\n`), ...d.filter((_, i) => i % 4 !== 3)]);
  };
});
// How the page's run ended: status, last line, message over the canvas, pictures offered (digests), the canvas.
const ended = () => page.evaluate(async () => {
  const status = await window.ended, FS = window.program.module.FS, written = {};
  for (const a of document.querySelectorAll('#files a[download$=".ppm"]')) written[a.download] = await sha(FS.readFile(a.textContent));
  return { status, last: window.program.out.at(-1), written, said: document.getElementById('status').textContent, shown: await sha(ppm()) };
});
// The native program on the same input, in a folder of its own beside links to the resources.
function native(program, display, args, files = {}) {
  const dir = fs.mkdtempSync('/tmp/korvan-web-'), written = {};
  for (const part of ['resource', 'data', 'mission']) fs.symlinkSync(path.join(run, part), path.join(dir, part));
  for (const [name, text] of Object.entries(files)) fs.writeFileSync(path.join(dir, name), text);
  const r = spawnSync(path.join(run, program), args, { cwd: dir, env: { GGI_DISPLAY: display }, encoding: 'latin1' });
  for (const f of fs.readdirSync(dir)) if (f.endsWith('.ppm')) written[f] = sha(fs.readFileSync(path.join(dir, f)));
  fs.rmSync(dir, { recursive: true });
  return { status: r.status, last: r.stdout.trimEnd().split('\n').at(-1), written };
}

const rows = {
  // Scripted games, fetched by the page: won, lost with every command, with the menu, with the editor overlay.
  ...Object.fromEntries(['sieg.ev', 'befehle.ev', 'sieg_menue.ev', 'sieg_editor.ev'].map((script) => [script, async () => {
    const display = `memory:-events=${script}:-frames=3000:-final=ende.ppm`;
    const { status, last, written } = await open('index.html', display).then(ended);
    assert.deepEqual({ status, last, written }, native('korvan', display, [], { [script]: fs.readFileSync(path.join(scripts, script)) }));
  }])),
  // Real input, the pointer held: a click on a unit, a frame, a move order, a right drag that scrolls, each at the
  // mode pixel it was made on (the picture at twice its size); recorded, they replay natively to the page's last picture.
  input: async () => {
    await open('index.html', 'canvas:-record=input.ev:-final=ende.ppm').then(() => page.waitForFunction(() => document.getElementById('status').hidden));
    const box = await page.locator('#screen').boundingBox(), m = page.mouse;
    const to = (x, y) => m.move(box.x + (x + 0.5) * box.width / 640, box.y + (y + 0.5) * box.height / 400, { steps: 4 });
    for (const [button, from, end] of [['left', [100, 92], [100, 92]], ['left', [60, 50], [170, 170]],
                                       ['left', [300, 300], [300, 300]], ['right', [200, 150], [400, 250]]]) {
      await page.evaluate(() => { window.before = ppm(); });
      await to(...from), await m.down({ button }), await page.waitForTimeout(100), await to(...end), await m.up({ button });
      await page.waitForTimeout(500);
    }
    const scrolled = await page.evaluate(() => ppm().filter((v, i) => v !== window.before[i]).length / window.before.length);
    await page.keyboard.press('Escape');
    const web = await ended(), ev = await page.evaluate(() => new TextDecoder().decode(window.program.module.FS.readFile('input.ev')));
    assert.deepEqual([box.width, scrolled > 0.5, web.shown], [1280, true, web.written['ende.ppm']]);
    assert.match(ev.replace(/^\d+ move -?\d+ -?\d+\n|^\d+ /gm, ''),
                 /^#.*\n(pos \d+ \d+\n)*pos 100 92\n(down 1\nup 1\n){3}down 2\nup 2\nkeydown 27\n/);
    assert.equal(native('korvan', 'memory:-events=input.ev:-final=ende.ppm', [], { 'input.ev': ev }).written['ende.ppm'], web.shown);
  },
  // The Pause key holds the game: no frame passes, the canvas is dimmed, what is typed meanwhile is dropped.
  pause: async () => {
    await open('index.html', 'canvas:-record=p.ev').then(() => page.waitForFunction(() => document.getElementById('status').hidden));
    const k = page.keyboard, light = () => page.evaluate(() => ppm().reduce((a, b) => a + b, 0));
    await k.press('1'), await page.waitForTimeout(300);
    const before = await light();
    await k.press('Pause'), await page.waitForTimeout(300), await k.press('2');
    const held = await light();
    await page.waitForTimeout(1500), await k.press('Pause'), await page.waitForTimeout(300), await k.press('3');
    await page.waitForTimeout(300), await k.press('Escape'), await ended();
    const ev = await page.evaluate(() => new TextDecoder().decode(window.program.module.FS.readFile('p.ev')));
    const frame = (key) => Number(new RegExp(`^(\\d+) keydown '${key}'$`, 'm').exec(ev)?.[1]);
    assert.deepEqual([held < 0.7 * before, ev.includes("'2'"), frame('3') - frame('1') < 90], [true, false, true], ev);
  },
  // The viewer: a real picture picked and shown as the native viewer shows it, a damaged one refused.
  lumora: async () => {
    for (const [name, stop] of [['allegro5_allegro.pcx', ''], ['pillow_pcx_overrun.pcx', 'lumora stopped (status 1):\nError loading file!']]) {
      await open('lumora.html', 'canvas').then(() => page.setInputFiles('#pick', path.join(pcx, name)));
      if (!stop) await page.waitForFunction(() => window.program?.out.length >= 2), await page.keyboard.press('x');
      const own = native('lumora', 'memory:-final=shown.ppm', [path.join(pcx, name)]), web = await ended();
      assert.deepEqual([web.status, web.last, web.said], [own.status, own.last, stop]);
      if (!stop) assert.equal(web.shown, own.written['shown.ppm']);
    }
  },
};
await rows[process.argv[2]]().finally(() => Promise.all([browser.close(), server.close()]));
console.log(`${process.argv[2]}: 1 passed, 0 failed`);
