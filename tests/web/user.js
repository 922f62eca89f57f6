// The hand of a user on the page of the controls' contract suites
// (controls_test.cpp): only what the page shows can be pointed at.
'use strict';
const user = {
  shown(selector) {
    const element = document.querySelector(selector);
    return element && element.getClientRects().length > 0 ? element : null;
  },
  pointer(selector, type) {
    this.shown(selector)?.dispatchEvent(new PointerEvent(type, { bubbles: true }));
  },
  click(selector) {
    this.shown(selector)?.click();
  },
  // The keyboard: it brings the focus ("focus"), takes it elsewhere
  // ("blur"), or presses a key there.
  keyboard(selector, key) {
    const element = this.shown(selector);
    if (key === 'focus') element?.focus();
    else if (key === 'blur') element?.blur();
    else element?.dispatchEvent(new KeyboardEvent('keydown', { key, bubbles: true, cancelable: true }));
  },
  input(selector, value) {
    const input = document.querySelector(selector);
    input.value = value;
    input.dispatchEvent(new Event('input', { bubbles: true }));
  },
  // The transcript's piece holding a character, and where in it the
  // character lies: its text node and the code points before it there.
  piece(position) {
    const span = [...document.querySelectorAll('#rtfText .seg')].find(
      (s) => Number(s.dataset.start) <= position && position < Number(s.dataset.end));
    if (!span) return null;  // a line break
    let left = position - Number(span.dataset.start);
    for (const node of span.childNodes) {
      const length = Array.from(node.textContent).length;
      if (left < length) return { node, left };
      left -= length;
    }
    return null;
  },
  // A pointer event (a move, a click) where the browser lays the character out.
  atCharacter(position, type) {
    const { node, left } = this.piece(position);
    const text = node.nodeType === Node.TEXT_NODE ? node : node.firstChild;
    const chars = Array.from(text.data);
    const range = document.createRange();
    const at = chars.slice(0, left).join('').length;
    range.setStart(text, at);
    range.setEnd(text, at + chars[left].length);
    const r = range.getBoundingClientRect();
    const x = r.left + 1;
    const y = r.top + r.height / 2;
    document.elementFromPoint(x, y).dispatchEvent(new PointerEvent(type, { bubbles: true, clientX: x, clientY: y }));
  },
  // A movie's length, as a video element tells it.
  measure(address) {
    return new Promise((resolve) => {
      const video = Object.assign(document.createElement('video'), { preload: 'metadata' });
      video.addEventListener('loadedmetadata', () => resolve(video.duration), { once: true });
      video.addEventListener('error', () => resolve(0), { once: true });
      video.src = address.replace(/^\//, '');
    });
  },
  // Whether the page shows a character of the transcript highlighted.
  marked(position) {
    return this.piece(position)?.node.nodeName === 'MARK' ? 1 : 0;
  },
};
