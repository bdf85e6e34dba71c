// The pages of the browser build: start a program with the display string from the address,
// fetch the files its options read, show what it prints, and offer what it wrote.
'use strict';

const byId = (id) => document.getElementById(id);
// GGI_DISPLAY for the program: ?display=..., the page's canvas by default.
const display = new URLSearchParams(location.search).get('display') || 'canvas';
// Whether the picture is shown on the page: every target but the headless one shows it there.
const onPage = !/^(display-)?memory(:|$)/.test(display);

function log(text, error) {
  const c = byId('console');
  c.value += text + '\n';
  c.scrollTop = c.scrollHeight;
  (error ? console.error : console.log)(text);
}

// A message over the canvas; none hides it.
function say(text) {
  const s = byId('status');
  s.textContent = text || '';
  s.hidden = !text;
}

// Every regular file below the root and when it changed, to tell what a run wrote.
function listFiles(FS, dir = '/', out = new Map()) {
  for (const name of FS.readdir(dir)) {
    const path = (dir === '/' ? '' : dir) + '/' + name;
    if (name === '.' || name === '..' || path === '/dev' || path === '/proc') continue;
    const st = FS.stat(path);
    if (FS.isDir(st.mode)) listFiles(FS, path, out);
    else if (FS.isFile(st.mode)) out.set(path, st.mtime.getTime());
  }
  return out;
}

// The files the display string's options read (-events), fetched from the page's folder;
// one that is not there is left for the program to report.
async function fetchInputs(text) {
  const inputs = [];
  for (const option of text.split(':')) {
    const m = /^-events=(.+)$/.exec(option);
    if (!m) continue;
    const response = await fetch(m[1]).catch(() => null);
    if (response && response.ok) inputs.push([m[1], new Uint8Array(await response.arrayBuffer())]);
  }
  return inputs;
}

function loadScript(src) {
  return new Promise((resolve, reject) => {
    const s = document.createElement('script');
    s.src = src;
    s.onload = resolve;
    s.onerror = () => reject(new Error(src + ' could not be loaded'));
    document.body.appendChild(s);
  });
}

// Links to download the files a run wrote or changed.
function offerFiles(FS, before) {
  const p = byId('files');
  p.textContent = '';
  for (const [path, time] of listFiles(FS)) {
    if (before.get(path) === time) continue;
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([FS.readFile(path)]));
    a.download = path.split('/').pop();
    a.textContent = path;
    p.append(p.childNodes.length ? ' ' : 'Written: ', a);
  }
}

// Runs a program once: `args` as its command line, `files` ([path, bytes]) put into its file
// system beside the package. Resolves, when it ends, with its exit status; window.program
// holds its module (FS) and what it printed, for the page and the tests.
async function run(name, args, files = []) {
  const out = [], err = [];
  // The programs print Latin-1 ("ü" is one byte), line by line.
  const lines = (sink, error) => {
    let bytes = [];
    return (c) => {
      if (c !== null && c !== 10) return void bytes.push(c);
      if (c === null && !bytes.length) return;
      const text = String.fromCharCode(...bytes);
      bytes = [];
      sink.push(text);
      log(text, error);
    };
  };
  const stdout = lines(out, false), stderr = lines(err, true);
  const program = (window.program = { name, out, err, module: null, status: null });
  say(onPage ? 'Loading ...' : 'Running with ' + display + ': no picture here; the console is below.');
  try {
    const inputs = (await fetchInputs(display)).concat(files);
    await loadScript(name + '.js');
    let pkg = null;
    if (name === 'korvan') {
      const response = await fetch(name + '.data');
      if (!response.ok) throw new Error(name + '.data could not be loaded: ' + response.status + ' ' + response.statusText);
      pkg = await response.arrayBuffer();
    }
    let before = new Map();
    const ended = new Promise((resolve) => {
      program.module = window['create' + name[0].toUpperCase() + name.slice(1)]({
        canvas: byId('screen'),
        arguments: args,
        getPreloadedPackage: () => pkg,
        preRun: [(m) => {
          m.FS.init(null, stdout, stderr);
          m.ENV.GGI_DISPLAY = display;
          for (const [path, bytes] of inputs) {
            const folder = path.replace(/\/?[^/]*$/, '');
            if (folder) m.FS.mkdirTree(folder);
            m.FS.writeFile(path, bytes);
          }
          before = listFiles(m.FS);
          if (onPage) say('');
        }],
        onExit: resolve,
        onAbort: (what) => resolve(name + '.wasm could not be loaded or run: ' + what),
      });
      program.module.then((m) => { program.module = m; }, (e) => resolve('failed: ' + e));
    });
    program.status = await ended;
    stdout(null);
    stderr(null);
    if (program.module.FS) offerFiles(program.module.FS, before);
  } catch (e) {
    program.status = String(e.message || e);
  }
  if (program.status === 0) {
    say(onPage ? '' : name + ' has ended.');
  } else {
    // A stop shows its message rather than a frozen picture.
    const why = err.length ? err.join('\n') : out.slice(-1).join('\n');
    say(name + ' stopped' + (typeof program.status === 'number' ? ' (status ' + program.status + ')' : '') + ':\n' +
        (why || program.status));
  }
  return program.status;
}

// The game's page: the game once, at once.
function startProgram(name, args) {
  window.ended = run(name, args);
}

// The viewer's page: each picture picked or dropped is written into a fresh program's file
// system and shown; a picture still shown is let go first.
function pickPictures(name) {
  let running = Promise.resolve();
  const view = (file) => {
    const previous = window.program;
    if (previous && previous.module && previous.module.ggiPage && previous.status === null) previous.module.ggiPage.requestClose();
    running = running.then(async () => {
      const bytes = new Uint8Array(await file.arrayBuffer());
      byId('console').value = '';
      window.ended = run(name, ['/' + file.name], [['/' + file.name, bytes]]);
      return window.ended;
    });
  };
  byId('pick').addEventListener('change', (e) => { if (e.target.files[0]) view(e.target.files[0]); });
  document.body.addEventListener('dragover', (e) => { e.preventDefault(); document.body.classList.add('dropping'); });
  document.body.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  document.body.addEventListener('drop', (e) => {
    e.preventDefault();
    document.body.classList.remove('dropping');
    if (e.dataTransfer.files[0]) view(e.dataTransfer.files[0]);
  });
}
