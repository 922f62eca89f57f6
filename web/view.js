// The page's view of the browser platform: it draws what the module tells
// it (Module.view, called from web/View.cpp) and hands the user's input to
// the module's exported functions. It decides nothing about the lesson.
'use strict';

(function () {
  const $ = (id) => document.getElementById(id);
  const css = (c) => `rgb(${c & 255},${(c >> 8) & 255},${(c >> 16) & 255})`;
  const call = (name, types, args) => Module.ccall(name, 'number', types, args);
  // A lesson path of the module's file system as the site's address, which
  // lesson.json gives (a name of the lesson is none: a learner could open it).
  // The controls' test page has no lesson: its files lie at their names.
  const addresses = new Map();
  const address = (path) => {
    const name = path.startsWith('/') ? path.slice(1) : path;
    return addresses.get(name) ?? (Module.controlsOnly ? name.split('/').map(encodeURIComponent).join('/') : 'data:,');
  };
  // The lesson's cursor files in CSS at their full addresses: a custom
  // property's url() is read against the style sheet using it, which on a
  // site of several lessons is in the folder above the page.
  const cursorCss = (css) => css.replace(/url\("((?:[^"\\]|\\.)*)"\)/g, (_, name) =>
    `url("${new URL(address(name.replace(/\\(.)/g, '$1')), document.baseURI).href.replace(/["\\]/g, '\\$&')}")`);
  const controls = {};
  const pictures = {};

  function control(name) {
    return controls[name] || $(name);
  }

  // A picture as a canvas holding its pixels (0x00BBGGRR: the bytes are
  // red, green, blue and an unused one, made opaque here).
  // Canvases by the source the component names them by, to copy from.
  const sources = new Map();

  function copyCanvas(original) {
    const canvas = Object.assign(document.createElement('canvas'),
      { width: original.width, height: original.height, className: 'picture' });
    canvas.getContext('2d').drawImage(original, 0, 0);
    return canvas;
  }

  function pictureCanvas(width, height, pixels) {
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.className = 'picture';
    for (let i = 0; i < pixels.length; i++) pixels[i] |= 0xff000000;
    const bytes = new Uint8ClampedArray(pixels.buffer, pixels.byteOffset, pixels.length * 4);
    canvas.getContext('2d').putImageData(new ImageData(bytes, width, height), 0, 0);
    return canvas;
  }

  // --- the button bars ---------------------------------------------------
  const tip = document.createElement('div');
  tip.id = 'tooltip';
  tip.setAttribute('role', 'tooltip');
  tip.hidden = true;
  let tipTimer = 0;

  function showTip(bar, button) {
    clearTimeout(tipTimer);
    tip.hidden = true;
    const text = button.getAttribute('aria-label');
    if (!button.dataset.tip) return;
    tipTimer = setTimeout(() => {
      const s = bar.tips || {};
      tip.textContent = text;
      Object.assign(tip.style, {
        color: css(s.fore || 0), background: css(s.back === undefined ? 0xe1ffff : s.back),
        borderColor: css(s.shadow === undefined ? 0x808080 : s.shadow),
        fontSize: `${s.size || 9}pt`, fontWeight: s.bold ? 'bold' : 'normal',
      });
      const r = button.getBoundingClientRect();
      tip.style.left = `${r.left + window.scrollX}px`;
      tip.style.top = `${r.bottom + window.scrollY + 4}px`;
      tip.hidden = false;
      tipTimer = setTimeout(() => { tip.hidden = true; },
        Math.min(Math.max(s.time || 1000, 100), 60000));
    }, 500);
  }

  function hideTip(button) {
    clearTimeout(tipTimer);
    if (!button || tip.textContent === button.getAttribute('aria-label')) tip.hidden = true;
  }

  function barButton(barName, name, left, top, width, height, state, toolTip) {
    const bar = control(barName);
    bar.stale.delete(name);
    let b = bar.buttons.get(name);
    if (!b) {
      b = document.createElement('button');
      b.type = 'button';
      b.className = 'bar-button';
      b.dataset.name = name;
      b.addEventListener('pointerenter', () => {
        call('scenova_bar', ['string', 'string', 'string'], [barName, 'enter', name]);
        showTip(bar, b);
      });
      b.addEventListener('pointerleave', () => {
        call('scenova_bar', ['string', 'string', 'string'], [barName, 'leave', name]);
        hideTip(b);
      });
      b.addEventListener('focus', () => showTip(bar, b));
      b.addEventListener('blur', () => hideTip(b));
      b.addEventListener('click', () => {
        hideTip(b);
        call('scenova_bar', ['string', 'string', 'string'], [barName, 'press', name]);
      });
      bar.buttons.set(name, b);
      bar.appendChild(b);
    }
    Object.assign(b.style, {
      left: `${left}px`, top: `${top}px`, width: `${width}px`, height: `${height}px`,
    });
    inReadingOrder(bar, ':scope > .bar-button');
    const picture = pictures[`${barName}/${name}`];
    if (b.firstChild !== (picture || null)) b.replaceChildren(...(picture ? [picture] : []));
    // A button is named by its tooltip, else by its name.
    b.setAttribute('aria-label', toolTip || name);
    if (toolTip) b.dataset.tip = '1'; else delete b.dataset.tip;
    const hadKeyboard = document.activeElement === b;
    b.hidden = state === 3;
    b.disabled = state === 1;
    // A button that can no longer be pressed hands the keyboard on, once the
    // change it is part of is done (Play gives way to Stop).
    if (hadKeyboard && (b.hidden || b.disabled)) {
      setTimeout(() => {
        if (document.activeElement !== document.body && document.activeElement !== b) return;
        const to = bar.buttons.get(Module.ccall('scenova_bar_keyboard', 'string', ['string', 'string'], [barName, name]));
        to?.focus();
      });
    }
  }

  function barClear(barName) {
    const bar = control(barName);
    bar.stale = new Set(bar.buttons.keys());
    bar.querySelectorAll('.bar-label').forEach((label) => label.remove());
    // Buttons not drawn again by the end of this redraw are gone.
    queueMicrotask(() => {
      for (const name of bar.stale) {
        bar.buttons.get(name).remove();
        bar.buttons.delete(name);
      }
      bar.stale.clear();
    });
  }

  function barLabel(barName, x, y, caption, font, size, colour, bold, italic, underline) {
    const label = document.createElement('div');
    label.className = 'bar-label';
    label.textContent = caption;
    Object.assign(label.style, {
      left: `${x}px`, top: `${y}px`, color: css(colour), fontFamily: font || '',
      fontSize: `${size}pt`, fontWeight: bold ? 'bold' : 'normal',
      fontStyle: italic ? 'italic' : 'normal', textDecoration: underline ? 'underline' : 'none',
    });
    // Above the bar's picture, beneath its buttons.
    control(barName).insertBefore(label, control(barName).querySelector('.bar-button'));
  }

  function showBarPicture(bar) {
    const bg = pictures[`${bar.id}/background`];
    const own = pictures[`${bar.id}/picture`];
    // The piece of the window's backdrop under the bar, else its own picture.
    const shown = bg || own;
    for (const c of [...bar.children]) if (c.classList.contains('picture') && c !== shown) c.remove();
    if (shown && shown.parentNode !== bar) bar.insertBefore(shown, bar.firstChild);
    if (shown) Object.assign(shown.style, bg ? { left: `${-bar.offsetLeft}px`, top: `${-bar.offsetTop}px` } : { left: '0', top: '0' });
    bar.classList.toggle('opaque', !shown && !bar.transparent);
  }

  // --- the transcript ----------------------------------------------------
  // pointed: the line under the pointer; pointedLit: whether it was lit
  // before the pointer came, the highlight the pointer gives it being no
  // part of the lit block.
  const text = { lines: [], segments: [], highlights: [], layout: [], pointed: -1, pointedLit: false, pointerMoved: false };

  // The character (a code point of the text) under the pointer, -1 for none.
  function segmentAt(event) {
    const span = event.target.closest && event.target.closest('.seg');
    if (!span) return -1;
    let offset = 0;
    const caret = document.caretRangeFromPoint && document.caretRangeFromPoint(event.clientX, event.clientY);
    if (caret && span.contains(caret.startContainer)) {
      const before = document.createRange();
      before.setStart(span, 0);
      before.setEnd(caret.startContainer, caret.startOffset);
      offset = Array.from(before.toString()).length;
    }
    return Math.min(Number(span.dataset.start) + offset, Number(span.dataset.end) - 1);
  }

  function wireTranscript(box) {
    box.setAttribute('role', 'listbox');
    box.setAttribute('aria-label', 'Transcript');
    box.tabIndex = 0;
    let pointed = -2;
    box.addEventListener('pointermove', (event) => {
      const at = segmentAt(event);
      if (at !== pointed) call('scenova_text', ['string', 'number'], ['point', (pointed = at)]);
    });
    box.addEventListener('pointerleave', () => {
      pointed = -2;
      call('scenova_text', ['string', 'number'], ['point', -1]);
    });
    let finger = false;
    box.addEventListener('pointerdown', (event) => { finger = event.pointerType === 'touch'; });
    box.addEventListener('click', (event) => {
      const at = segmentAt(event);
      if (at < 0) return;
      // A finger is over a line only as it taps: it enters the line first
      // and leaves it after, as a mouse would, so that the line lights as
      // it plays.
      if (at !== pointed) call('scenova_text', ['string', 'number'], ['point', (pointed = at)]);
      call('scenova_text', ['string', 'number'], ['click', at]);
      if (finger) {
        pointed = -2;
        call('scenova_text', ['string', 'number'], ['point', -1]);
      }
    });
    // The keyboard takes a line when it brings the focus, not a click.
    box.addEventListener('focus', () => {
      if (box.matches(':focus-visible')) call('scenova_text', ['string', 'number'], ['focus', 0]);
    });
    box.addEventListener('blur', () => call('scenova_text', ['string', 'number'], ['blur', 0]));
    box.addEventListener('keydown', (event) => {
      const key = { ArrowUp: 'up', ArrowDown: 'down', Enter: 'enter' }[event.key];
      if (key && !event.altKey && !event.ctrlKey && !event.metaKey) {
        event.preventDefault();
        event.stopPropagation();
        call('scenova_text', ['string', 'number'], [key, 0]);
      }
    });
    // Resized or shown again: the text wraps anew.
    new ResizeObserver(() => call('scenova_text', ['string', 'number'], ['layout', 0])).observe(box);
    document.fonts.ready.then(() => call('scenova_text', ['string', 'number'], ['layout', 0]));
  }

  // --- the keyboard's order: as the window reads, top to bottom, left to right
  function inReadingOrder(parent, selector) {
    const items = [...parent.querySelectorAll(selector)];
    const place = (el) => [parseFloat(el.style.top) || 0, parseFloat(el.style.left) || 0];
    const sorted = [...items].sort((a, b) => {
      const [at, al] = place(a);
      const [bt, bl] = place(b);
      return at - bt || al - bl;
    });
    if (sorted.every((el, i) => el === items[i])) return;
    // Moving an element takes the focus from it: it is given back.
    const focused = document.activeElement;
    const anchor = items[items.length - 1].nextSibling;
    for (const el of sorted) parent.insertBefore(el, anchor);
    if (focused && focused !== document.activeElement) focused.focus({ preventScroll: true });
  }
  const stacking = { top: 1000, bottom: 1000 };

  // --- the window fitted to the page's width ------------------------------
  // A window wider than the page is shown smaller as a whole (text,
  // pictures and all), as the desktop player fits it to its window; its own
  // sizes, and so the transcript's lines, stay what the lesson set.
  let scale = 1;
  function fit() {
    const form = $('frmScenova');
    const stage = $('stage');
    const width = parseFloat(form.style.width) || 0;
    const height = parseFloat(form.style.height) || 0;
    if (!stage || !width) return;
    const room = stage.parentElement.clientWidth - parseFloat(getComputedStyle(stage.parentElement).paddingLeft) * 2;
    scale = Math.min(1, Math.max(room, 1) / width);
    form.style.transformOrigin = '0 0';
    form.style.transform = scale < 1 ? `scale(${scale})` : '';
    Object.assign(stage.style, { width: `${width * scale}px`, height: `${height * scale}px` });
  }
  window.addEventListener('resize', fit);

  // The lines each paragraph wraps into, as [paragraph, first character
  // (-1: the paragraph's first), top, bottom] in CSS pixels of the text.
  // Within a paragraph a line starts at the first character lying lower
  // than the line before: found by halving, a few characters measured a line.
  // Lines may lie at fractions of a pixel (Firefox's do), where offsetTop
  // and the scroll position round: each line is taken to the whole pixels
  // around it, so that a line scrolled to lies wholly in view.
  function wrappedLines() {
    const lines = [];
    const box = control('rtfText');
    const boxTop = box.getBoundingClientRect().top;
    const y = (screenY) => (screenY - boxTop) / scale - box.clientTop + box.scrollTop;
    const range = document.createRange();
    const rect = (char) => {
      range.setStart(char.node, char.offset);
      range.setEnd(char.node, char.offset + char.length);
      return range.getBoundingClientRect();
    };
    const lower = (a, b) => a.top > b.top + b.height / 2;
    text.lines.forEach((line, paragraph) => {
      const { top: lineTop, bottom: lineBottom } = line.getBoundingClientRect();
      const top = Math.floor(y(lineTop));
      const bottom = Math.ceil(y(lineBottom));
      lines.push([paragraph, -1, top, bottom]);
      const nodes = [...line.querySelectorAll('.seg')].flatMap((span) => {
        const walker = document.createTreeWalker(span, NodeFilter.SHOW_TEXT);
        const found = [];
        for (let node = walker.nextNode(); node; node = walker.nextNode()) found.push(node);
        return found.length ? [[Number(span.dataset.start), found]] : [];
      });
      if (!nodes.length) return;
      const last = nodes[nodes.length - 1][1].at(-1);
      const end = last.data.length - (last.data.codePointAt(last.data.length - 2) > 0xffff ? 2 : 1);
      let row = rect({ node: nodes[0][1][0], offset: 0, length: 1 });
      if (!lower(rect({ node: last, offset: end, length: last.data.length - end }), row)) return;
      // Each character where it lies, for a line that wraps.
      const chars = [];
      for (let [at, texts] of nodes) {
        for (const node of texts) {
          for (let offset = 0; offset < node.data.length; at++) {
            const length = node.data.codePointAt(offset) > 0xffff ? 2 : 1;
            chars.push({ node, offset, length, at });
            offset += length;
          }
        }
      }
      const origin = row.top;
      // Measured on the screen, where the window may be shown smaller.
      const between = (at) => y(lineTop) + (at - origin) / scale;
      let from = 0;
      while (lower(rect(chars[chars.length - 1]), row)) {
        let low = from + 1;
        let high = chars.length - 1;
        while (low < high) {
          const middle = (low + high) >> 1;
          if (lower(rect(chars[middle]), row)) high = middle;
          else low = middle + 1;
        }
        row = rect(chars[low]);
        from = low;
        lines[lines.length - 1][3] = Math.ceil(between(row.top));
        lines.push([paragraph, chars[low].at, Math.floor(between(row.top)), bottom]);
      }
    });
    return lines;
  }

  // The highlighted characters of each piece marked, and the lines holding
  // any selected.
  function showHighlights() {
    const h = text.highlights;
    const lines = new Set();
    const highlighted = (line) => text.segments.some((s) => s.line === line &&
      h.some((at, i) => i % 2 === 0 && at < s.end && s.start < h[i + 1]));
    // Unlit by something else, the pointer's line is lit no longer.
    if (!text.pointerMoved && text.pointedLit) text.pointedLit = highlighted(text.pointed);
    text.pointerMoved = false;
    const hovered = text.pointedLit ? -1 : text.pointed;
    for (const s of text.segments) {
      const cuts = [];
      for (let i = 0; i < h.length; i += 2) {
        if (h[i] < s.end && s.start < h[i + 1]) cuts.push([Math.max(h[i], s.start) - s.start, Math.min(h[i + 1], s.end) - s.start]);
      }
      if (cuts.length === 0 && !s.split) continue;
      const parts = [];
      let at = 0;
      for (const [from, to] of cuts) {
        if (from > at) parts.push(document.createTextNode(s.chars.slice(at, from).join('')));
        const mark = document.createElement('mark');
        if (s.line === hovered) mark.className = 'hover';
        mark.textContent = s.chars.slice(from, to).join('');
        parts.push(mark);
        at = to;
      }
      if (at < s.chars.length) parts.push(document.createTextNode(s.chars.slice(at).join('')));
      s.span.replaceChildren(...parts);
      s.split = cuts.length > 0;
      if (s.split && s.line !== hovered) lines.add(s.line);
    }
    text.lines.forEach((line, i) => line.setAttribute('aria-selected', lines.has(i) ? 'true' : 'false'));
  }

  // --- the viewer's: captions, speed, the learner's modes ------------------
  // The module's viewer decides them, as the desktop player's; the page
  // shows them.
  const caption = document.createElement('div');
  caption.className = 'caption';
  // The transcript already says it to a screen reader.
  caption.setAttribute('aria-hidden', 'true');
  caption.hidden = true;

  // A key as the key list names it.
  const keyNames = { ' ': 'Space', ArrowLeft: 'Left', ArrowRight: 'Right', ArrowUp: 'Up', ArrowDown: 'Down', Escape: 'Esc' };
  const key = (name, shift = false, ctrl = false) =>
    call('scenova_key', ['string', 'number', 'number'], [keyNames[name] ?? name, shift, ctrl]) !== 0;

  // --- the video -----------------------------------------------------------
  let wake = { token: 0, target: 0, timer: 0 };
  // The lesson's video element, made before the module is ready so that it
  // loads the first movie while it measures it; it joins the page with the
  // lesson's window. A published page has it already, in the window's first
  // look, showing the movie's first frame while the lesson starts.
  const firstView = $('first-view');
  const playback = firstView?.querySelector('video') ?? document.createElement('video');
  playback.id = 'lesson-video';
  playback.playsInline = true;
  playback.preload = 'auto';
  playback.setAttribute('aria-label', 'Lesson video');
  // The picture is no stop of the keyboard's (Firefox makes a video one).
  playback.tabIndex = -1;

  // A movie the browser cannot play is told over the video and to the
  // learner, by its name and its address on the site with what to do, and
  // stops the lesson's playing, as the desktop player does; asked to play or
  // show a place again, the element is given it again.
  const failure = Object.assign(document.createElement('div'), { className: 'failure', hidden: true });
  failure.setAttribute('role', 'alert');
  const remake = 'Make it again as a WebM with VP9 pictures and Vorbis sound '
    + '(scenova check names the ffmpeg command), and publish the lesson again';
  const putWhole = 'Put the whole published site on the server, or publish the lesson again';
  const failures = {
    [MediaError.MEDIA_ERR_NETWORK]: ['the file could not be fetched', putWhole],
    [MediaError.MEDIA_ERR_DECODE]: ['the file cannot be decoded', remake],
    [MediaError.MEDIA_ERR_SRC_NOT_SUPPORTED]: ['the browser does not play this kind of video', remake],
  };
  // The lesson's name of the movie the element has, and its address.
  function shownMovie() {
    for (const [path, at] of addresses) {
      if (path.startsWith('lesson/') && new URL(at, document.baseURI).href === playback.src) return [path.slice(7), at];
    }
    return ['', playback.getAttribute('src') ?? ''];
  }
  function tellFailure(why, what) {
    const [name, at] = shownMovie();
    const text = `The video ${name} cannot be played from ${at}: ${why}. ${what}.`;
    if (failure.hidden || failure.textContent !== text) Module.view.hostLog(text);  // once till it plays
    failure.textContent = text;
    failure.hidden = false;
    Module._scenova_video_failed();
  }
  playback.addEventListener('error', () => {
    const why = failures[playback.error?.code];
    // Before the lesson starts, a movie that fails is measured as none.
    if (why && document.body.dataset.started) tellFailure(...why);
  });
  playback.addEventListener('playing', () => { failure.hidden = true; });

  // A browser may take a movie it then never decodes, raising no error
  // (Firefox: no picture, the media clock standing still): playing, with
  // the data at hand, for 3 s of the wall clock with the media clock
  // standing or no picture decoded yet, it has failed. A hidden page is not
  // watched, as browsers stop decoding video there.
  const stall = { timer: 0, since: 0, time: 0 };
  const decodedFrames = () => playback.getVideoPlaybackQuality?.().totalVideoFrames ?? 1;
  const dataAtHand = () => {
    const { buffered, currentTime: t, duration } = playback;
    for (let i = 0; i < buffered.length; i++) {
      if (buffered.start(i) <= t && (buffered.end(i) >= Math.min(t + 1, duration - 0.1))) return true;
    }
    return false;
  };
  function watchStall() {
    if (playback.paused) clearInterval(stall.timer);  // a new source pauses without a pause event
    const now = performance.now();
    const moved = playback.currentTime !== stall.time;
    stall.time = playback.currentTime;
    if (playback.paused || playback.seeking || document.hidden || !dataAtHand() || (moved && decodedFrames() > 0)) {
      stall.since = now;
    } else if (now - stall.since >= 3000) {
      tellFailure('the browser shows none of its pictures', remake);
    }
  }
  playback.addEventListener('play', () => {
    clearInterval(stall.timer);
    Object.assign(stall, { since: performance.now(), time: NaN, timer: setInterval(watchStall, 250) });
  });
  playback.addEventListener('pause', () => clearInterval(stall.timer));

  function retried() {
    if (playback.error && playback.src) playback.load();
    return playback;
  }

  function video() {
    return playback;
  }

  function aimWake(least) {
    const { token, target } = wake;
    const left = target - playback.currentTime;
    clearTimeout(wake.timer);
    wake.timer = setTimeout(() => {
      if (token !== wake.token) return;
      if (target - playback.currentTime <= 0) {
        wake.token = 0;
        Module._scenova_video_due(token);
      } else {
        aimWake(1);
      }
    }, playback.paused && least ? 100 : Math.max(least, (left * 1000) / (playback.playbackRate || 1)));
  }
  playback.addEventListener('ratechange', () => { if (wake.token) aimWake(1); });

  Module.view = {
    box(name, left, top, width, height, visible, enabled) {
      const el = control(name);
      Object.assign(el.style, { left: `${left}px`, top: `${top}px`, width: `${width}px`, height: `${height}px` });
      if (name === 'frmScenova') {
        fit();
        // The window takes the video from its first look as it shows.
        if (visible && firstView?.isConnected) {
          controls.movOrvMovie.prepend(playback);
          playback.removeAttribute('style');
          firstView.remove();
        }
      }
      else if (el.classList.contains('control')) inReadingOrder(el.parentNode, ':scope > .control');
      el.hidden = !visible;
      el.classList.toggle('disabled', !enabled);
      el.inert = !enabled;
      if (el.buttons) showBarPicture(el);
    },
    picture(name, key, width, height, pixels, source) {
      const id = `${name}/${key}`;
      if (pictures[id] && pictures[id].parentNode) pictures[id].remove();
      const original = sources.get(source);
      if (pixels && width > 0 && height > 0) pictures[id] = pictureCanvas(width, height, pixels);
      else if (original) pictures[id] = copyCanvas(original);
      else delete pictures[id];
      if (source && pixels) sources.set(source, pictures[id]);
      const el = control(name);
      if (name === 'frmScenova' && pictures[id]) el.insertBefore(pictures[id], el.firstChild);
      else if (el.buttons && (key === 'background' || key === 'picture')) showBarPicture(el);
    },
    forgetPicture(source) {
      sources.delete(source);
    },
    colour(name, what, colour) {
      const el = control(name);
      if (what === 'back') el.style.backgroundColor = css(colour);
      else if (what === 'fore') el.style.accentColor = css(colour);
      else if (what === 'transparent') { el.transparent = !!colour; showBarPicture(el); }
    },
    // Stacked by z-index, so that the elements' order can be the reading
    // order the keyboard follows.
    zorder(name, position) {
      const el = control(name);
      el.style.zIndex = position === 0 ? ++stacking.top : --stacking.bottom;
    },
    barClear,
    barButton,
    barLabel,
    barToolTips(name, fore, back, shadow, time, size, bold) {
      control(name).tips = { fore, back, shadow, time, size, bold };
    },
    textClear(count) {
      const box = control('rtfText');
      box.replaceChildren();
      text.lines = [];
      text.segments = [];
      text.highlights = [];
      text.layout = [];
      text.pointed = -1;
      text.named = false;
      for (let i = 0; i < count; i++) {
        const line = document.createElement('div');
        line.className = 'line';
        line.id = `line-${i}`;
        line.setAttribute('role', 'option');
        line.setAttribute('aria-selected', 'false');
        box.appendChild(line);
        text.lines.push(line);
      }
    },
    textSegment(line, start, end, content, font, points, bold, italic, underline, colour) {
      const span = document.createElement('span');
      span.className = 'seg';
      span.textContent = content;
      span.dataset.start = start;
      span.dataset.end = end;
      Object.assign(span.style, {
        fontFamily: font || '', fontSize: `${points}pt`, fontWeight: bold ? 'bold' : 'normal',
        fontStyle: italic ? 'italic' : 'normal', textDecoration: underline ? 'underline' : 'none',
        color: colour >= 0 ? css(colour) : '',
      });
      text.lines[line].appendChild(span);
      text.segments.push({ line, start, end, span, chars: Array.from(content), split: false });
    },
    // Once lines are named, the list holds those alone: a speaker's name,
    // a separator or an empty line is no line to choose, and each line is
    // read with its speaker.
    textLineName(index, name) {
      if (!text.named) {
        text.named = true;
        for (const line of text.lines) {
          line.setAttribute('role', 'presentation');
          line.setAttribute('aria-hidden', 'true');
        }
      }
      const line = text.lines[index];
      if (!line) return;
      line.setAttribute('role', 'option');
      line.removeAttribute('aria-hidden');
      line.setAttribute('aria-label', name);
    },
    textHighlightDue() {
      queueMicrotask(() => Module._scenova_text_highlights());
    },
    textHighlight(startsAndEnds) {
      text.highlights = startsAndEnds;
      showHighlights();
    },
    textScroll(paragraph, top) {
      const line = text.lines[paragraph];
      control('rtfText').scrollTop = Number.isNaN(top) ? (line ? line.offsetTop : 0) : top;
    },
    // The lines the text wraps into now, kept for textLaidOut; 0 while
    // the transcript is not shown.
    textLayout() {
      text.layout = control('rtfText').getClientRects().length ? wrappedLines() : [];
      return text.layout.length;
    },
    textLaidOut() {
      // The height in view, rounded down as clientHeight may round up.
      const box = control('rtfText');
      const frame = box.offsetHeight - box.clientHeight;
      return { rows: text.layout, height: Math.min(box.clientHeight, Math.floor(box.getBoundingClientRect().height / scale) - frame) };
    },
    textPointer(pointerLine, keyboardLine, colour) {
      const box = control('rtfText');
      box.style.setProperty('--rollover', css(colour));
      if (pointerLine !== text.pointed) {
        text.pointedLit = text.lines[pointerLine]?.getAttribute('aria-selected') === 'true';
        text.pointed = pointerLine;
        text.pointerMoved = true;
      }
      text.lines.forEach((line, i) => {
        line.classList.toggle('pointed', i === pointerLine);
        line.classList.toggle('keyboard', i === keyboardLine);
      });
      if (keyboardLine >= 0) box.setAttribute('aria-activedescendant', `line-${keyboardLine}`);
      else box.removeAttribute('aria-activedescendant');
    },
    slider(max, value) {
      const input = control('sldVideoSlider').input;
      input.max = max;
      input.value = value;
      // Said as the block and its speaker, once the call setting it is done.
      if (!Module.controlsOnly) {
        queueMicrotask(() => input.setAttribute('aria-valuetext',
          Module.ccall('scenova_block_name', 'string', ['number'], [Number(input.value)])));
      }
    },
    videoSource(path) {
      const v = video();
      if (!path) v.removeAttribute('src');
      else if (v.src !== new URL(address(path), document.baseURI).href) v.src = address(path);
    },
    videoPlay(seconds) {
      const v = retried();
      if (Math.abs(v.currentTime - seconds) > 1e-3) v.currentTime = seconds;
      // A pause or a new movie before it started is no failure.
      v.play().catch((error) => error.name === 'AbortError' || Module.view.hostLog(`The video does not play: ${error.message}`));
    },
    videoPause(seconds) {
      const v = Number.isNaN(seconds) ? video() : retried();
      v.pause();
      // A needless seek of a movie still loading can fail in Chromium as a
      // decode error.
      if (!Number.isNaN(seconds) && Math.abs(v.currentTime - seconds) > 1e-3) v.currentTime = seconds;
    },
    videoTime() {
      return video().currentTime;
    },
    // A timer aimed at the media time, checked against the clock when it
    // fires and aimed again while the media is not there yet, or when the
    // rate changes (a media second lasts 1/rate seconds).
    videoWake(target, token) {
      clearTimeout(wake.timer);
      wake = { token, target, timer: 0 };
      aimWake(0);
    },
    timerArm(ms, token) {
      setTimeout(() => Module._scenova_timer(token), ms);
    },
    postSoon() {
      setTimeout(() => Module._scenova_run_posted(), 0);
    },
    pageCursor(value) {
      document.body.classList.toggle('app-cursor', !!value);
      document.body.style.setProperty('--app-cursor', value ? cursorCss(value) : 'auto');
    },
    cursor(value) {
      control('frmScenova').style.cursor = cursorCss(value);
    },
    hostLog(line) {
      const item = document.createElement('li');
      item.textContent = line;
      $('reports').appendChild(item);
    },
    hostResource(id, action, file, content) {
      const panel = $('resources');
      let page = [...panel.children].find((p) => p.dataset.id === id);
      if (action === 0 || (action === 1 && !page)) {
        if (page) page.remove();
        panel.hidden = panel.children.length === 0;
        return;
      }
      if (!page) {
        page = document.createElement('section');
        page.dataset.id = id;
        const heading = document.createElement('h2');
        heading.textContent = id;
        page.appendChild(heading);
        panel.appendChild(page);
      }
      if (file) {
        // Lesson HTML is untrusted: no scripts, no forms, no reaching the
        // page. Given as the frame's own text, never by its address, it is
        // under the page's policy as well as its own, which loads nothing:
        // no server learns who reads it.
        const frame = document.createElement('iframe');
        frame.setAttribute('sandbox', '');
        frame.setAttribute('referrerpolicy', 'no-referrer');
        frame.title = id;
        frame.srcdoc = framed(pageText(Module.FS.readFile(`/${file}`)));
        page.replaceChildren(page.firstChild, frame);
      } else {
        const pre = document.createElement('pre');
        pre.textContent = content;
        page.replaceChildren(page.firstChild, pre);
      }
      panel.hidden = false;
    },
    rate(rate) {
      // A new source resets the rate to the default one.
      playback.defaultPlaybackRate = rate;
      playback.playbackRate = rate;
      const shown = $('speed');
      if (shown) shown.value = `${rate}×`;
    },
    caption(words, translation) {
      const second = document.createElement('span');
      second.className = 'translation';
      second.textContent = translation;
      caption.replaceChildren(words, ...(words && translation ? [second] : []));
      caption.hidden = !words;
      const line = $('translation-line');
      if (line) {
        line.textContent = translation;
        line.hidden = !translation;
        $('stage')?.classList.toggle('translated', Boolean(translation));
      }
    },
    modes(captions, pause, loop, translation) {
      const shown = $('translation');
      if (shown) {
        shown.hidden = translation < 0;
        shown.setAttribute('aria-pressed', String(translation === 1));
      }
      $('captions')?.setAttribute('aria-pressed', String(captions));
      $('pause')?.setAttribute('aria-pressed', String(pause));
      $('loop')?.setAttribute('aria-pressed', String(loop));
      tickEvery(captions || pause || loop || translation === 1 ? 40 : 200);
    },
    found(start, end) {
      let first = null;
      for (const { span } of text.segments) {
        const on = Number(span.dataset.start) < end && Number(span.dataset.end) > start;
        span.classList.toggle('found', on);
        first ??= on ? span : null;
      }
      const box = control('rtfText');
      const line = first?.parentElement;
      if (line && (line.offsetTop < box.scrollTop || line.offsetTop + line.offsetHeight > box.scrollTop + box.clientHeight)) {
        box.scrollTop = line.offsetTop;
      }
    },
    own(command) {
      const stage = controls.movOrvMovie;
      if (command === 'fullscreen') {
        if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
        else stage?.requestFullscreen?.().catch(() => {});
        return Boolean(stage?.requestFullscreen);
      }
      if (command === 'leave') {
        const list = $('key-list');
        if (list?.open) { list.open = false; return true; }
        return false;  // the browser's own Escape leaves full screen
      }
      if (command === 'find') {
        const field = $('find');
        field?.focus();
        field?.select();
        return Boolean(field);
      }
      if (command === 'keys') {
        const list = $('key-list');
        if (!list) return false;
        list.open = !list.open;
        if (list.open) list.querySelector('summary').focus();
        return true;
      }
      return false;
    },
  };

  // A lesson page as its frame is given it: first in its head a policy that
  // loads nothing, and without its links and frames, as Chromium connects to
  // their servers (preconnect, a frame's address) whatever the policy says.
  // Read here as an inert document, which loads nothing either.
  function framed(page) {
    const doc = new DOMParser().parseFromString(page, 'text/html');
    doc.querySelectorAll('link, iframe, frame, object, embed').forEach((element) => element.remove());
    const policy = Object.assign(doc.createElement('meta'), { httpEquiv: 'Content-Security-Policy' });
    policy.content = "default-src 'none'; style-src 'unsafe-inline'; img-src data:";
    doc.head.prepend(policy);
    return `${doc.doctype ? '<!DOCTYPE html>' : ''}${doc.documentElement.outerHTML}`;
  }

  // A lesson page's text: UTF-8 when it is, else as the desktop read it.
  function pageText(bytes) {
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch {
      return new TextDecoder('windows-1252').decode(bytes);
    }
  }

  // --- the window's elements, in the order they lie on the form ------------
  function build() {
    const form = $('frmScenova');
    for (const name of ['frmRose', 'movOrvMovie', 'sldVideoSlider', 'rtfText', 'frmRoseNavigation', 'frmRoseToolbar']) {
      const el = document.createElement('div');
      el.id = name;
      el.className = 'control';
      form.appendChild(el);
      el.style.zIndex = ++stacking.top;  // stacked as created, until told otherwise
      controls[name] = el;
      if (name.startsWith('frmRose')) {
        el.classList.add('bar');
        el.buttons = new Map();
        el.stale = new Set();
        el.setAttribute('role', 'toolbar');
        el.setAttribute('aria-label', { frmRose: 'Playback', frmRoseNavigation: 'Navigation', frmRoseToolbar: 'Lesson tools' }[name]);
      }
    }
    controls.movOrvMovie.append(...(firstView ? [] : [playback]), caption, failure);
    // The lesson's page has a button for each key of the viewer's; the
    // controls' test page not.
    for (const button of document.querySelectorAll('button[data-key]')) {
      button.addEventListener('click', () => key(button.dataset.key, button.hasAttribute('data-shift')));
    }

    const input = document.createElement('input');
    input.type = 'range';
    input.min = 0;
    input.setAttribute('aria-label', 'Position in the video');
    controls.sldVideoSlider.appendChild(input);
    controls.sldVideoSlider.input = input;
    let dragging = false;
    const slide = (event) => call('scenova_slider', ['string', 'number'], [event, Number(input.value)]);
    input.addEventListener('pointerdown', () => { dragging = true; slide('down'); });
    input.addEventListener('input', () => slide(dragging ? 'scroll' : 'click'));
    const up = () => { if (dragging) { dragging = false; slide('up'); } };
    input.addEventListener('pointerup', up);
    input.addEventListener('change', up);

    wireTranscript(controls.rtfText);
    document.body.appendChild(tip);
    wireFind();

    document.addEventListener('keydown', (event) => {
      if (event.altKey || event.metaKey || event.defaultPrevented) return;
      const t = event.target;
      if (t.type === 'search') return;  // the find field's keys are its own
      const own = t.closest && t.closest('button, input, iframe, a');
      // A focused button or slider takes its own keys.
      if (own && (event.key === ' ' || event.key === 'Enter' || (t.type === 'range' && event.key.startsWith('Arrow')))) return;
      // The key list's own details are opened and closed by their keys.
      if (t.closest && t.closest('summary') && (event.key === ' ' || event.key === 'Enter')) return;
      if (key(event.key, event.shiftKey, event.ctrlKey)) event.preventDefault();
    });
  }

  // The find field: the viewer finds as the learner types; Down and Up go
  // round the matches, Enter plays the line found, Esc ends the find.
  function wireFind() {
    const field = $('find');
    if (!field) return;
    const status = $('find-status');
    const find = (step) => {
      status.value = Module.ccall('scenova_find', 'string', ['string', 'number'], [field.value, step]);
    };
    field.addEventListener('input', () => find(0));
    field.addEventListener('keydown', (event) => {
      const act = {
        ArrowDown: () => find(1),
        ArrowUp: () => find(2),
        Enter: () => call('scenova_play_found', [], []),
        Escape: () => { field.value = ''; status.value = ''; call('scenova_end_find', [], []); },
      }[event.key];
      if (act) { act(); event.preventDefault(); }
    });
  }

  // --- starting: the lesson's files into the module's file system ---------
  // The addresses of movies the browser read and found no picture in.
  const pictureless = new Set();
  function measure(at, element) {
    return new Promise((resolve) => {
      const v = element || Object.assign(document.createElement('video'), { preload: 'metadata' });
      // Sound without a picture is no movie for the lesson.
      const measured = () => {
        if (!(v.videoWidth > 0)) pictureless.add(at);
        resolve(v.videoWidth > 0 ? v.duration : 0);
      };
      // The first look's video may have read it already, or failed: one
      // whose pictures fail only after its length was read is measured, as
      // it would have been had the error come later.
      if (v.src === new URL(at, document.baseURI).href) {
        if (v.readyState >= HTMLMediaElement.HAVE_METADATA) return measured();
        if (v.error) return resolve(0);
      } else {
        v.src = at;
      }
      v.addEventListener('loadedmetadata', measured, { once: true });
      v.addEventListener('error', () => resolve(0), { once: true });
    });
  }

  // What the page takes of a lesson at most: more would stall the tab or run
  // it out of memory before the lesson could say anything.
  const limits = { files: 1000, movies: 4, fileBytes: 32 << 20, bytes: 128 << 20 };
  const megabytes = (bytes) => `${Math.ceil(bytes / (1 << 20))} MB`;
  const tooLarge = (what) => new Error(`the lesson is too large: ${what}`);

  function checkSize({ files, movies, notShipped }) {
    if (files.length > limits.files) throw tooLarge(`lesson.json lists ${files.length} files, at most ${limits.files}`);
    const films = movies.length + notShipped.length;
    if (films > limits.movies) throw tooLarge(`lesson.json lists ${films} movies, at most ${limits.movies}`);
    const size = (file) => (Number.isSafeInteger(file.bytes) && file.bytes >= 0 ? file.bytes : Infinity);
    const big = files.find((file) => size(file) > limits.fileBytes);
    if (big) throw tooLarge(`${big.name} is ${megabytes(size(big))}, at most ${megabytes(limits.fileBytes)}`);
    const total = files.reduce((sum, file) => sum + size(file), 0);
    if (total > limits.bytes) throw tooLarge(`its files come to ${megabytes(total)}, at most ${megabytes(limits.bytes)}`);
  }

  // The lesson's files, fetched as one (the bundle holds them in the order
  // lesson.json lists them), read no further than the sizes it gives, and
  // cut apart by them.
  async function fetchAll(files, bundle) {
    const bytes = files.reduce((sum, file) => sum + file.bytes, 0);
    const response = await fetch(bundle);
    if (!response.ok) throw new Error(`${bundle}: ${response.status}`);
    const reader = response.body.getReader();
    const all = new Uint8Array(bytes);
    let length = 0;
    for (let read = await reader.read(); !read.done; read = await reader.read()) {
      if (length + read.value.length > bytes) {
        reader.cancel();
        throw tooLarge(`its files hold more than the ${bytes} bytes lesson.json gives`);
      }
      all.set(read.value, length);
      length += read.value.length;
    }
    if (length !== bytes) throw new Error(`its files hold ${length} bytes, not the ${bytes} lesson.json gives`);
    let at = 0;
    return files.map((file) => [file.name, all.subarray(at, (at += file.bytes))]);
  }

  // A preview its author cannot use is told, with what to do instead.
  const serveIt = 'serve the site\'s folder over HTTP with a server that answers Range requests '
    + '(scenova serve SITE, then open the address it prints)';
  if (!Module.controlsOnly && location.protocol === 'file:') {
    Module.view.hostLog(`This page was opened from the disk, where a browser lets it read none of its files: ${serveIt}.`);
  }

  // Each movie asked for its first byte before it is played: one the
  // server cannot give is told by its published name with what to do, and
  // one sent whole for a part tells of a server that ignores Range, with
  // which every line and block would play from the video's start.
  let rangeTold = false;
  async function probeMovie(movie) {
    const asking = new AbortController();
    let why = '';
    try {
      const response = await fetch(movie.address, { headers: { Range: 'bytes=0-0' }, signal: asking.signal });
      asking.abort();
      if (!response.ok) why = `the server answers ${response.status} ${response.statusText}`.trim();
      else if (response.status === 200 && !rangeTold) {
        rangeTold = true;
        Module.view.hostLog(`The server sends ${movie.address} whole, ignoring Range requests: lines and the slider would play from the video's start. To preview, ${serveIt}.`);
      }
    } catch (error) {
      why = 'it could not be fetched';
    }
    if (why) {
      const text = `The video ${movie.name} cannot be loaded from ${movie.address}: ${why}. Put the whole published site on the server, or publish the lesson again.`;
      Module.view.hostLog(text);
      failure.textContent = text;
      failure.hidden = false;
    }
  }

  // The lesson's files and its movies' lengths, fetched and measured while
  // the module compiles.
  const lessonFiles = Module.controlsOnly ? null : (async () => {
    const manifest = await (await fetch('lesson.json')).json();
    checkSize(manifest);
    for (const file of manifest.files.concat(manifest.movies)) addresses.set(`lesson/${file.name}`, file.address);
    manifest.movies.forEach(probeMovie);
    // The movies first, the first in the lesson's own element: when the
    // lesson opens it, its first frame is there already.
    const seconds = Promise.all(manifest.movies.map((file, i) =>
      measure(file.address, i === 0 ? playback : null)));
    const files = await fetchAll(manifest.files, manifest.bundle);
    performance.mark('lesson-fetched');
    return { manifest, files, seconds: await seconds };
  })();
  lessonFiles?.catch(() => {});  // start() reports it

  async function start() {
    build();
    const { manifest, files, seconds } = await lessonFiles;
    document.title = `${manifest.title} — Scenova`;
    $('title').textContent = manifest.title;
    const write = (path, bytes) => {
      Module.FS.mkdirTree(path.slice(0, path.lastIndexOf('/')) || '/');
      Module.FS.writeFile(path, bytes);
    };
    for (const [file, bytes] of files) write(`/lesson/${file}`, bytes);
    // Movies play in the video element; the file system has their names only.
    for (const file of manifest.movies.map((movie) => movie.name).concat(manifest.notShipped)) {
      write(`/lesson/${file}`, new Uint8Array(0));
    }
    manifest.movies.forEach((file, i) =>
      Module.ccall('scenova_movie', null, ['string', 'number'], [`/lesson/${file.name}`, seconds[i]]));
    performance.mark('module-ready');
    const list = $('key-list');
    if (list) list.querySelector('pre').textContent = Module.ccall('scenova_key_list', 'string', [], []);
    if (!call('scenova_start', [], [])) Module.view.hostLog('The lesson could not start.');
    // The lesson tells a movie it cannot open by its own name; the learner
    // is told which file it is and what to do (WebKit reads a WebM whose
    // pictures it cannot decode so).
    manifest.movies.forEach((file, i) => {
      if (!pictureless.has(file.address)) return;
      const text = `The video ${file.name} cannot be played from ${file.address}: the browser finds no picture in it. ${remake}.`;
      Module.view.hostLog(text);
      if (i === 0) Object.assign(failure, { textContent: text, hidden: false });
    });
    Module._scenova_text_names();
    resume();
    // What the page starts with is no move of the learner's: an offer to
    // go on stays until they answer it or move.
    keptLast = Module.ccall('scenova_remembered', 'string', [], []);
    performance.mark('lesson-started');
    document.body.dataset.started = '1';
    tickEvery(tick.ms);
    // A page kept for Back comes back as it was left: only one left for good
    // shuts its tool down.
    window.addEventListener('pagehide', (event) => {
      keep();
      if (!event.persisted) Module._scenova_shutdown();
    });
    // A phone's browser may end a hidden page without pagehide.
    document.addEventListener('visibilitychange', () => document.hidden && keep());
  }

  // The viewer's tick: often enough, while a mode needs it, that a pause
  // after a line stops before the next is heard or a caption follows its
  // line; five times a second otherwise, as the desktop player's.
  const tick = { ms: 200, timer: 0 };
  function tickEvery(ms) {
    if (tick.timer && tick.ms === ms) return;
    tick.ms = ms;
    if (!document.body.dataset.started) return;
    clearInterval(tick.timer);
    tick.timer = setInterval(() => { Module._scenova_viewer_tick(); keep(); }, ms);
  }

  // --- where the learner was: kept in this browser for the lesson's page ---
  const kept = `scenova:${location.pathname}`;
  const storage = () => { try { return window.localStorage; } catch { return null; } };

  // Kept as it changes, not only when the page is left: a tab the browser
  // kills, or a page frozen for Back before its write went out, loses nothing.
  let keptLast = null;
  function keep() {
    const now = Module.ccall('scenova_remembered', 'string', [], []);
    if (now === keptLast) return;
    keptLast = now;
    storage()?.setItem(kept, now);
  }

  function resume() {
    const block = call('scenova_recall', ['string'], [storage()?.getItem(kept) ?? '']);
    const offer = $('go-on');
    if (!block || !offer) return;
    offer.querySelector('p').textContent = Module.ccall('scenova_offer_text', 'string', ['number'], [block]);
    offer.hidden = false;
    const done = () => { offer.hidden = true; };
    offer.querySelector('.go').onclick = () => { done(); Module._scenova_go_on(block); };
    // Starting over forgets where they were: the next tick keeps the start.
    offer.querySelector('.over').onclick = () => { done(); keptLast = null; };
  }

  Module.onRuntimeInitialized = () => {
    // A page of the controls alone (their tests) has no lesson to start.
    if (Module.controlsOnly) {
      build();
      return;
    }
    start().catch((error) => Module.view.hostLog(`The lesson could not be loaded: ${error.message}`));
  };
})();
