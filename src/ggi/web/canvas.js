// The page's side of the canvas target: the browser's keyboard and mouse as LibGII events,
// queued for the program's polls, and its pictures on Module.canvas, scaled by whole numbers.
Module.ggiPage = (() => {
  // LibGII's event types, and the page asking the program to end.
  const KEY_PRESS = 5, KEY_RELEASE = 6, KEY_REPEAT = 7, PTR_RELATIVE = 8, PTR_ABSOLUTE = 9;
  const BUTTON_PRESS = 10, BUTTON_RELEASE = 11, CLOSE = 255;
  // Keys that produce no character, with their LibGII symbols.
  const NAMED = {
    Escape: 27, Tab: 9, Enter: 13, Backspace: 8, Delete: 127,
    ArrowLeft: 0xe032, ArrowRight: 0xe033, ArrowUp: 0xe034, ArrowDown: 0xe035,
  };
  // The browser's buttons (main, middle, secondary) as LibGII's (left 1, middle 3, right 2).
  const BUTTONS = [1, 3, 2];
  const queue = [];
  const held = new Map();  // key code -> the symbol its press was delivered with
  let canvas = null, context = null;
  let width = 0, height = 0, fixedScale = 0, grab = false;
  let lastX = -1, lastY = -1, restX = 0, restY = 0;
  // The Pause key holds the program until it is pressed again; a hidden page holds it too.
  let keyPaused = false;
  const paused = () => keyPaused || document.hidden;

  const push = (...event) => { if (queue.length < 8192) queue.push(event); };
  const locked = () => document.pointerLockElement === canvas;

  // The character a key produces, as the window's key symbols are: one character is itself,
  // a dead key left of 1 gives '^', the rest by name; 0 for keys the program never sees.
  function symbol(e) {
    if (e.key === 'Dead' && e.code === 'Backquote') return 0x5e;
    if (e.key.length === 1 || (e.key.length === 2 && e.key.codePointAt(0) > 0xffff)) {
      const c = e.key.codePointAt(0);
      return c <= 0xffff ? c : 0;
    }
    const f = /^F([1-9]|1[0-2])$/.exec(e.key);
    if (f) return 0xe101 + Number(f[1]) - 1;
    return NAMED[e.key] || 0;
  }

  function keyDown(e) {
    if (e.ctrlKey || e.metaKey || /^(INPUT|TEXTAREA|SELECT|BUTTON)$/.test(e.target.tagName)) return;
    if (e.altKey && e.key === 'Enter') {
      // The layer's own key, as in the window: the picture fills the screen, or no more.
      e.preventDefault();
      if (!e.repeat) document.fullscreenElement ? document.exitFullscreen() : canvas.requestFullscreen();
      return;
    }
    if (e.altKey) return;
    if (e.key === 'Pause') {
      // The layer's own key, as in the window: never the program's.
      e.preventDefault();
      if (!e.repeat) keyPaused = !keyPaused;
      if (keyPaused) blur();
      return;
    }
    if (paused()) return;
    const sym = symbol(e);
    if (!sym) return;
    e.preventDefault();
    held.set(e.code, sym);
    push(e.repeat ? KEY_REPEAT : KEY_PRESS, sym);
  }

  function keyUp(e) {
    const sym = held.get(e.code);
    if (sym === undefined) return;
    held.delete(e.code);
    push(KEY_RELEASE, sym);
  }

  // Keys held when the page loses the focus are let go; their releases would never come.
  function blur() {
    for (const sym of held.values()) push(KEY_RELEASE, sym);
    held.clear();
  }

  // A position on the page in mode pixels, pulled onto the picture.
  function at(e) {
    const r = canvas.getBoundingClientRect();
    const x = Math.floor((e.clientX - r.left) * width / r.width);
    const y = Math.floor((e.clientY - r.top) * height / r.height);
    return [Math.min(Math.max(x, 0), width - 1), Math.min(Math.max(y, 0), height - 1)];
  }

  // Locked, the pointer moves by its motion in mode pixels, fractions kept for the next move;
  // free, it is where it is over the canvas, and outside it not seen.
  function move(e) {
    if (!width || paused()) return;
    if (locked()) {
      const r = canvas.getBoundingClientRect();
      restX += e.movementX * width / r.width;
      restY += e.movementY * height / r.height;
      const dx = Math.trunc(restX), dy = Math.trunc(restY);
      restX -= dx;
      restY -= dy;
      if (dx || dy) push(PTR_RELATIVE, dx, dy);
    } else if (e.target === canvas) {
      const [x, y] = at(e);
      if (x !== lastX || y !== lastY) push(PTR_ABSOLUTE, lastX = x, lastY = y);
    }
  }

  function button(e) {
    if (paused()) return;
    const n = BUTTONS[e.button] || e.button + 1;
    if (e.type === 'mousedown') {
      if (e.target !== canvas) return;
      e.preventDefault();
      canvas.focus();
      move(e);
      push(BUTTON_PRESS, n);
    } else {
      if (e.target === canvas) move(e);
      push(BUTTON_RELEASE, n);
    }
  }

  // A click holds the pointer in the picture, so that pushing against an edge scrolls;
  // Escape lets it go, as browsers require.
  function click() {
    if (grab && !locked() && canvas.requestPointerLock) {
      const r = canvas.requestPointerLock();
      if (r && r.catch) r.catch(() => {});
    }
  }

  // The largest whole scale at which the picture fits the page's width and most of its height.
  function fit() {
    if (!width) return;
    const room = canvas.parentElement ? canvas.parentElement.clientWidth : window.innerWidth;
    const s = fixedScale || Math.max(1, Math.min(Math.floor(room / width),
                                                 Math.floor(window.innerHeight * 0.8 / height)));
    canvas.style.width = width * s + 'px';
    canvas.style.height = height * s + 'px';
  }

  // The browser's context menu never covers the picture.
  const noMenu = (e) => e.preventDefault();
  const attach = (add) => {
    const listeners = [
      [document, 'keydown', keyDown], [document, 'keyup', keyUp], [window, 'blur', blur],
      [document, 'mousemove', move], [document, 'mousedown', button], [document, 'mouseup', button],
      [window, 'resize', fit], [canvas, 'click', click], [canvas, 'contextmenu', noMenu],
    ];
    for (const l of listeners) l[0][add ? 'addEventListener' : 'removeEventListener'](l[1], l[2]);
  };

  return {
    open(wantGrab) {
      canvas = Module.canvas;
      grab = !!wantGrab;
      canvas.tabIndex = 0;
      attach(true);
    },
    mode(w, h, scale) {
      width = canvas.width = w;
      height = canvas.height = h;
      fixedScale = scale;
      context = canvas.getContext('2d');
      lastX = lastY = -1;
      fit();
    },
    show(pixels, w, h) {
      context.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, pixels, w * h * 4), w, h), 0, 0);
    },
    next(values) {
      const e = queue.shift();
      if (!e) return 0;
      HEAP32[values >> 2] = e[1] || 0;
      HEAP32[(values >> 2) + 1] = e[2] || 0;
      return e[0];
    },
    close() {
      if (!canvas) return;
      attach(false);
      if (locked()) document.exitPointerLock();
      canvas = null;
    },
    paused() { return paused() ? 1 : 0; },
    // The last picture dimmed, with "PAUSE" over it, on the canvas only; the pointer set free.
    dim() {
      if (locked()) document.exitPointerLock();
      context.fillStyle = 'rgba(0, 0, 0, 0.5)';
      context.fillRect(0, 0, width, height);
      context.fillStyle = '#fff';
      context.font = 'bold 16px monospace';
      context.textAlign = 'center';
      context.fillText('PAUSE', width / 2, height / 2);
    },
    // The page leaves the program: it ends by its own path, as when its window is closed.
    requestClose() { push(CLOSE); },
  };
})();
