// Layout reader of the browser engine: evaluated once per loaded document as
//   (<this file>)(rootElement, PROPERTIES, LIMITS)
// and returns ONE JSON string (the mirror in src/platform/LaidOutDocument.cpp decodes it):
//   v            format version (2)
//   sx, sy       window scroll offsets, added to every rectangle (rectangles are document
//                coordinates in CSS px, rounded to 1/100 px)
//   vw, vh       layout viewport (documentElement.clientWidth/clientHeight)
//   sw, sh       root element's scrollWidth/scrollHeight; dw, dh the document element's
//   trunc        "" or the limit that ended the walk early ("elements", "characters", "bytes")
//   s            string table (tags, attribute names, computed values)
//   st           distinct computed-style tuples, as indices into s, in the order of PROPERTIES;
//                margins are read for the root alone ("" elsewhere): only its margins are used
//   n            the tree, in document order: one entry per node of the mirror; an element's
//                entry is its number of child nodes in the mirror, a text node's entry is -1
//   e            6 numbers per element: tag (s index), x, y, w, h, style tuple
//   t            per text node: its value, its number of line boxes k, then k times x, y, w, h,
//                then the k-1 offsets (UTF-16, into the value) where lines 2..k start
//   a            attributes the conversion reads: element, name (s index), value
//   p            element properties: element, name (s index), value (inputs, images)
//   m            element metrics: element, offsetLeft, offsetTop, scrollWidth, scrollHeight
//                (the root, picture elements, elements with a background picture or with
//                overflow other than visible)
// Blank text nodes are kept only where they are rendered (a space between inline boxes).
// Contents of display:none elements are not walked.
(function (ROOT, PROPS, LIMITS) {
  'use strict';
  const sx = window.scrollX, sy = window.scrollY;
  const s = [], sIdx = new Map();
  const S = v => { let i = sIdx.get(v); if (i === undefined) { i = s.length; s.push(v); sIdx.set(v, i); } return i; };
  const st = [], stIdx = new Map();
  const n = [], e = [], t = [], a = [], p = [], m = [];
  const r2 = v => Math.round(v * 100) / 100;
  const range = document.createRange();
  let elements = 0, chars = 0, bytes = 0, trunc = '';
  const NP = PROPS.length;
  const P = {}; PROPS.forEach((q, i) => { P[q] = i; });
  const SIDES = ['top', 'right', 'bottom', 'left'];
  const TABLE_PARTS = new Set(['table', 'inline-table', 'table-row-group', 'table-header-group',
                               'table-footer-group', 'table-row', 'table-column-group', 'table-column']);
  const PICTURES = new Set(['img', 'hr', 'object', 'embed', 'textarea', 'select', 'input', 'canvas', 'svg',
                            'video', 'iframe', 'audio', 'button', 'meter', 'progress']);
  const ATTRIBUTES = ['border', 'bordercolor', 'bordercolorlight', 'bordercolordark', 'cellspacing'];
  const KEEPS_NEWLINES = new Set(['pre', 'pre-wrap', 'pre-line', 'break-spaces']);
  // Letters of the right-to-left scripts, and the marks and controls that change direction.
  const RIGHT_TO_LEFT = /[\u0590-\u08ff\ufb1d-\ufdff\ufe70-\ufefc\u200e\u200f\u202a-\u202e\u2066-\u2069]|\ud802[\udc00-\udfff]|\ud803[\udc00-\ude7f]|\ud83a|\ud83b/;
  const BLANK = /^[ \t\n\r\f]*$/, BLANK_CHAR = /[ \t\n\r\f]/;
  const AT = kind => SIDES.map(side => P['border-' + side + '-' + kind]);
  const STYLE_AT = AT('style'), WIDTH_AT = AT('width'), COLOR_AT = AT('color');
  const ALL_SIDES = [...STYLE_AT, ...WIDTH_AT, ...COLOR_AT].every(i => i !== undefined);
  const ROOT_ONLY = ['margin-top', 'margin-right', 'margin-bottom', 'margin-left']
                      .map(q => P[q]).filter(i => i !== undefined);

  // The four sides (top, right, bottom, left) of a computed shorthand as the browser shortens
  // it to one to four values; spaces inside parentheses belong to the value. Null for
  // anything else.
  function fourSides(value) {
    const parts = [];
    let depth = 0, start = 0;
    for (let i = 0; i <= value.length; i++) {
      const c = value[i];
      if (c === '(') depth++;
      else if (c === ')') depth--;
      else if ((c === ' ' || c === undefined) && depth === 0) {
        if (i > start) parts.push(value.slice(start, i));
        start = i + 1;
      }
    }
    if (parts.length < 1 || parts.length > 4) return null;
    const [t, r = t, b = t, l = r] = parts;
    return [t, r, b, l];
  }

  // The borders in three reads instead of twelve (one for the most elements, which have
  // none); false where the shorthands do not give four sides.
  function borders(cs, v) {
    const styles = fourSides(cs.getPropertyValue('border-style'));
    if (!styles) return false;
    const drawn = styles.some(bs => bs !== 'none' && bs !== 'hidden');
    const widths = drawn ? fourSides(cs.getPropertyValue('border-width')) : null;
    const colors = drawn ? fourSides(cs.getPropertyValue('border-color')) : null;
    if (drawn && (!widths || !colors)) return false;
    for (let k = 0; k < 4; k++) {
      const none = styles[k] === 'none' || styles[k] === 'hidden';
      v[STYLE_AT[k]] = styles[k];
      v[WIDTH_AT[k]] = none ? '0px' : widths[k];
      v[COLOR_AT[k]] = none ? '' : colors[k];
    }
    return true;
  }

  // Elements that the style sheets cannot tell apart share one read of their computed style:
  // the same parent (by this identity), tag and attributes, the same place among their
  // siblings as far as the sheets' position rules (first, last, nth) see it, and both empty
  // or not. Most cells of a long table are then read once. Off where a sheet uses something
  // this identity does not hold: a state, a later-sibling rule, :has(), containers,
  // animations, or a sheet that cannot be read.
  const NTH_KINDS = ['nth-child', 'nth-last-child', 'nth-of-type', 'nth-last-of-type'];
  const STATEFUL = new Set(['input', 'select', 'option', 'optgroup', 'textarea', 'button', 'progress', 'meter',
                            'output', 'fieldset', 'dialog', 'details', 'bdi', ...PICTURES]);
  const SHARED = sharedRules();
  function sharedRules() {
    const nth = new Map();
    // Attributes that no sheet can select on stay out of the identity: a row's own id or
    // data attributes would otherwise keep every cell of it to itself.
    let byId = false, byData = false;
    const PLAIN = new Set(['root', 'scope', 'first-child', 'last-child', 'only-child', 'first-of-type',
                           'last-of-type', 'only-of-type', 'empty', 'is', 'where', 'not', 'matches',
                           '-webkit-any', 'link', 'any-link', '-webkit-any-link', 'visited', 'lang', 'defined']);
    const OLD_ELEMENTS = new Set(['before', 'after', 'first-line', 'first-letter']);
    const anb = text => {
      const f = text.toLowerCase().replace(/\s+/g, '');
      if (f === 'odd') return [2, 1];
      if (f === 'even') return [2, 0];
      const m = /^([+-]?\d*)n([+-]\d+)?$/.exec(f);
      if (m) return [m[1] === '' || m[1] === '+' ? 1 : m[1] === '-' ? -1 : +m[1], m[2] ? +m[2] : 0];
      return /^[+-]?\d+$/.test(f) ? [0, +f] : null;
    };
    const selectorOk = text => {
      let ok = true;
      byId = byId || /#|\[\s*id\b/i.test(text);
      byData = byData || /\[\s*data-/i.test(text);
      const x = text.replace(/\\[0-9a-fA-F]{1,6}\s?|\\[^]/g, '_')
                    .replace(/"(?:[^"\\]|\\[^])*"|'(?:[^'\\]|\\[^])*'/g, '_')
                    .replace(/\[[^\]]*\]/g, '_')
                    .replace(/:(nth-(?:last-)?(?:child|of-type))\(([^()]*)\)/gi, (all, kind, arg) => {
                      const f = anb(arg);
                      if (f) nth.set(kind.toLowerCase() + ' ' + f, [NTH_KINDS.indexOf(kind.toLowerCase()), ...f]);
                      else ok = false;
                      return '_';
                    });
      if (!ok || /[+~]/.test(x)) return false;
      for (const m of x.matchAll(/(::?)(-?[a-zA-Z_][\w-]*)/g)) {
        const name = m[2].toLowerCase();
        if (m[1] !== '::' && !OLD_ELEMENTS.has(name) && !PLAIN.has(name)) return false;
      }
      return true;
    };
    const ruleOk = (rule, sheets) => {
      const kind = rule.constructor.name;
      if (kind === 'CSSImportRule') {
        if (rule.styleSheet) sheets.push(rule.styleSheet);
        return true;
      }
      if (/^CSS(Container|Scope|Keyframes)Rule$/.test(kind)) return false;
      if (kind === 'CSSStyleRule' && (!selectorOk(rule.selectorText) || /container|animation/i.test(rule.style.cssText))) {
        return false;
      }
      if (rule.cssRules) for (const inner of rule.cssRules) if (!ruleOk(inner, sheets)) return false;
      return true;
    };
    try {
      const sheets = [...document.styleSheets, ...(document.adoptedStyleSheets || [])];
      const seen = new Set();
      while (sheets.length) {
        const sheet = sheets.pop();
        if (seen.has(sheet)) continue;
        seen.add(sheet);
        for (const rule of sheet.cssRules) if (!ruleOk(rule, sheets)) return null;
      }
    } catch (_) {
      return null;  // a sheet from elsewhere hides its rules
    }
    return { nth: [...nth.values()], keys: new Map(), styles: new Map(),
             unseen: name => (!byId && name === 'id') || (!byData && name.startsWith('data-')) };
  }

  // Element `el`'s identity under the walk's frame `up`: at least 0 where it may share its
  // style, below 0 (a number of its own) where it may not. Elements whose style follows a
  // state of their own or their text (the direction of `dir=auto`) share nothing; nor does
  // anything inside a custom element or a shadow host, whose own sheets are out of sight.
  // Children of an element that shares nothing still share among themselves.
  let unique = 0;
  const FOCUSED = document.activeElement;
  // `host`: a custom element or a shadow host.
  function identity(el, tag, up, host) {
    if (!SHARED || !up || up.closed || host || STATEFUL.has(tag) || el === FOCUSED) {
      return --unique;
    }
    const i = up.index, n = up.elements;
    const it = up.ofType ? up.ofTypeSeen.get(tag) : i, nt = up.ofType ? up.ofType.get(tag) : n;
    let key = up.identity + '\u0001' + tag + '\u0001' + (i === 1 ? 1 : 0) + (i === n ? 1 : 0) +
              (it === 1 ? 1 : 0) + (it === nt ? 1 : 0) + (isEmpty(el) ? 1 : 0);
    for (const [kind, a, b] of SHARED.nth) {
      const at = kind === 0 ? i : kind === 1 ? n - i + 1 : kind === 2 ? it : nt - it + 1;
      key += (a === 0 ? at === b : (at - b) % a === 0 && (at - b) / a >= 0) ? 1 : 0;
    }
    if (el.hasAttributes()) {
      for (const { name, value } of el.attributes) {
        if (name === 'popover' || name === 'contenteditable' || (name === 'dir' && /^\s*auto\s*$/i.test(value)) ||
            (name === 'style' && /container|animation/i.test(value))) {
          return --unique;
        }
        if (!SHARED.unseen(name)) key += '\u0001' + name + '\u0002' + value;
      }
    }
    let id = SHARED.keys.get(key);
    if (id === undefined) { id = SHARED.keys.size; SHARED.keys.set(key, id); }
    return id;
  }
  function isEmpty(el) {
    for (let c = el.firstChild; c; c = c.nextSibling) {
      if (c.nodeType === 1 || (c.nodeType === 3 && c.length)) return false;
    }
    return true;
  }

  // The frame's counts of its element children, in all and by tag, for the position rules.
  function countChildren(frame, el) {
    frame.index = 0;
    frame.elements = el.childElementCount;
    frame.ofType = null;
    if (!frame.elements) return;
    // Children all of one tag (a table's rows, a row's cells) count by tag as they count in
    // all, without the maps.
    const first = el.firstElementChild.localName;
    let other = el.firstElementChild.nextElementSibling;
    while (other && other.localName === first) other = other.nextElementSibling;
    if (!other) return;
    frame.ofType = new Map();
    frame.ofTypeSeen = new Map();
    for (let c = el.firstElementChild; c; c = c.nextElementSibling) {
      const tag = c.localName.toLowerCase();
      frame.ofType.set(tag, (frame.ofType.get(tag) || 0) + 1);
    }
  }

  function style(el, isRoot, id) {
    if (id >= 0) {
      const known = SHARED.styles.get(id);
      if (known) return known;
    }
    const cs = getComputedStyle(el);
    const v = new Array(NP).fill(null);
    if (!isRoot) for (const i of ROOT_ONLY) v[i] = '';
    // A side without a border style has no width and draws nothing: its width and colour are
    // not read (most elements have no border, and reading styles is most of the walk).
    if (!(ALL_SIDES && borders(cs, v))) for (const side of SIDES) {
      const si = P['border-' + side + '-style'];
      if (si === undefined) continue;
      const bs = cs.getPropertyValue('border-' + side + '-style');
      v[si] = bs;
      if (bs === 'none' || bs === 'hidden') {
        const wi = P['border-' + side + '-width'], ci = P['border-' + side + '-color'];
        if (wi !== undefined) v[wi] = '0px';
        if (ci !== undefined) v[ci] = '';
      }
    }
    for (let i = 0; i < NP; i++) if (v[i] === null) v[i] = cs.getPropertyValue(PROPS[i]);
    const key = v.join('\u0001');
    let si = stIdx.get(key);
    if (si === undefined) { si = st.length; st.push(v.map(S)); stIdx.set(key, si); }
    if (id >= 0) SHARED.styles.set(id, [si, v]);
    return [si, v];
  }

  // The box of the first rendered character at or after offset i (collapsed white space has
  // none); `rendered` is set to its offset.
  let rendered = 0;
  function charRect(node, i, len) {
    for (let k = i; k < len && k < i + 4096; k++) {
      range.setStart(node, k); range.setEnd(node, k + 1);
      const rs = range.getClientRects();
      if (rs.length && shown(rs[0])) { rendered = k; return rs[0]; }
    }
    rendered = len;
    return null;
  }

  // Whether the first rendered character at or after offset k lies on line box `next` or
  // later rather than on `cur`.
  function onNext(node, k, len, cur, next) {
    const c = charRect(node, k, len);
    return !c || pastLine(c, cur, next);
  }
  function shown(r) {
    return r.width > 0 || r.height > 0;
  }
  function pastLine(c, cur, next) {
    return c.top >= next.top - 0.5 && (c.top > cur.top + 0.5 || c.left >= next.left - 0.5);
  }

  // Near a right guess, one measurement of the two characters either side of an offset
  // shows whether line box `next` starts there (both rendered, one on each line); otherwise
  // their box, wholly on one line, says which way to step, until two neighbouring
  // measurements fall on the two lines. Where the offset follows one collapsible space
  // between two words, the measurement takes the characters either side of the space,
  // which hangs at the end of the line or shows nowhere. Only for text of one direction,
  // whose character boxes follow the text's order. -1 where this does not settle it.
  function near(node, txt, len, lo, g, cur, next, collapsing) {
    // Lines of words break where a word starts: the nearest word start within three
    // characters is the better guess (the space before it has no width in the boxes).
    if (collapsing && txt[g - 1] !== ' ') {
      for (let d = 1; d <= 3; d++) {
        if (g - d > lo && txt[g - d - 1] === ' ' && txt[g - d] !== ' ') { g -= d; break; }
        if (g + d < len && txt[g + d - 1] === ' ' && txt[g + d] !== ' ') { g += d; break; }
      }
    }
    for (let q = g, steps = 0, last = 0, lastAfter = false; steps < 6 && q > lo && q < len; steps++) {
      const space = collapsing && txt[q - 1] === ' ' && q - 2 >= lo && !BLANK_CHAR.test(txt[q - 2]) &&
                    !BLANK_CHAR.test(txt[q]);
      range.setStart(node, space ? q - 2 : q - 1); range.setEnd(node, q + 1);
      const rs = range.getClientRects();
      if (rs.length === 2 && shown(rs[0]) && shown(rs[1]) && !pastLine(rs[0], cur, next) && pastLine(rs[1], cur, next)) {
        return q;
      }
      if (rs.length !== 1 || !shown(rs[0])) return -1;
      const after = pastLine(rs[0], cur, next);
      if (last === q - 1 && !lastAfter && after) return across(node, q - 1, cur, next);
      if (last === q + 1 && lastAfter && !after) return across(node, q, cur, next);
      last = space ? 0 : q;
      lastAfter = after;
      q += after ? -1 : 1;
    }
    return -1;
  }
  // Where the line starts when the character at offset c lies between a box on `cur` and
  // one on `next`: at c if c, measured alone, is rendered on `next` (a box of two characters
  // leaves out one that is rendered with no width); after it otherwise.
  function across(node, c, cur, next) {
    range.setStart(node, c); range.setEnd(node, c + 1);
    const rs = range.getClientRects();
    return rs.length && shown(rs[0]) && pastLine(rs[0], cur, next) ? c : c + 1;
  }

  // Where line box `next` starts: the first rendered character on it, found from a guess in
  // (lo, len] by the quick look above, else by doubling steps and bisection. White space
  // before it that shows on no line (collapsed, or hanging at the end of a line) stays with
  // the line before.
  function lineStart(node, txt, len, lo, guess, cur, next, oneWay, collapsing) {
    let good, bad, goodAt;  // onNext(good) holds, its rendered character is at goodAt; onNext(bad) does not
    const ok = k => {
      if (!onNext(node, k, len, cur, next)) return false;
      good = k; goodAt = rendered;
      return true;
    };
    const g = Math.min(Math.max(guess, lo + 1), len);
    const quick = oneWay ? near(node, txt, len, lo, g, cur, next, collapsing) : -1;
    if (quick >= 0) return quick;
    if (ok(g)) {
      for (let step = 1; ; step *= 2) {
        const q = good - step;
        if (q <= lo) { bad = lo; break; }
        if (!ok(q)) { bad = q; break; }
      }
    } else {
      bad = g;
      for (let step = 1; ; step *= 2) {
        const q = bad + step;
        if (q >= len) { good = goodAt = len; break; }
        if (ok(q)) break;
        bad = q;
      }
    }
    while (good - bad > 1) {
      const mid = (good + bad) >> 1;
      if (!ok(mid)) bad = mid;
    }
    return goodAt;
  }

  function lines(node, txt, whiteSpace, leftToRight) {
    const len = txt.length;
    range.selectNodeContents(node);
    const rs = range.getClientRects();
    const k = rs.length;
    t.push(txt, k);
    for (let j = 0; j < k; j++) { const r = rs[j]; t.push(r2(r.left + sx), r2(r.top + sy), r2(r.width), r2(r.height)); }
    bytes += len + 16 + k * 40;
    if (k < 2) return;
    let start = 0, width = 0;
    for (let j = 0; j < k; j++) width += rs[j].width;
    const newlines = KEEPS_NEWLINES.has(whiteSpace);
    const oneWay = leftToRight && !RIGHT_TO_LEFT.test(txt);
    const collapsing = whiteSpace === 'normal' || whiteSpace === 'nowrap';
    for (let j = 0; j + 1 < k; j++) {
      // Guess: after the next kept newline, else where this line's share of the width ends.
      const nl = newlines ? txt.indexOf('\n', start) : -1;
      const guess = nl >= 0 ? nl + 1
                            : start + Math.round((len - start) * (width > 0 ? rs[j].width / width : 1 / (k - j)));
      width -= rs[j].width;
      start = lineStart(node, txt, len, start, guess, rs[j], rs[j + 1], oneWay, collapsing);
      t.push(start);
    }
  }

  function extras(el, tag, me, v) {
    if (el.hasAttributes()) {
      for (const name of ATTRIBUTES) {
        const value = el.getAttribute(name);
        if (value !== null) { a.push(me, S(name), value); bytes += value.length + 16; }
      }
    }
    if (tag === 'input') {
      p.push(me, S('type'), el.type, me, S('value'), el.value, me, S('checked'), el.checked);
      bytes += el.value.length + 64;
    } else if (tag === 'img') {
      p.push(me, S('complete'), el.complete, me, S('naturalWidth'), el.naturalWidth,
             me, S('naturalHeight'), el.naturalHeight, me, S('currentSrc'), el.currentSrc);
      bytes += el.currentSrc.length + 80;
    }
    if (me === 0 || PICTURES.has(tag) || (P['background-image'] !== undefined && v[P['background-image']] !== 'none') ||
        (P['overflow'] !== undefined && v[P['overflow']] !== 'visible')) {
      m.push(me, el.offsetLeft, el.offsetTop, el.scrollWidth, el.scrollHeight);
      bytes += 40;
    }
  }

  // Pre-order walk without recursion: documents may nest deeper than the script stack allows.
  const stack = [];
  function enter(el, up) {
    const me = elements++;
    const tag = el.localName.toLowerCase();
    if (up && SHARED) {
      up.index++;
      if (up.ofType) up.ofTypeSeen.set(tag, (up.ofTypeSeen.get(tag) || 0) + 1);
    }
    const host = tag.includes('-') || !!el.shadowRoot;
    const id = identity(el, tag, up, host);
    const [si, v] = style(el, me === 0, id);
    const b = el.getBoundingClientRect();
    e.push(S(tag), r2(b.left + sx), r2(b.top + sy), r2(b.width), r2(b.height), si);
    bytes += 48;
    extras(el, tag, me, v);
    const slot = n.length;
    n.push(0);
    const display = v[P['display']];
    const frame = { slot, count: 0, next: display === 'none' ? null : el.firstChild,
                    whiteSpace: v[P['white-space']], leftToRight: v[P['direction']] === 'ltr',
                    tablePart: TABLE_PARTS.has(display), identity: id, closed: (!!up && up.closed) || host };
    if (SHARED && frame.next) countChildren(frame, el);
    stack.push(frame);
  }
  if (ROOT) enter(ROOT, null);
  while (stack.length) {
    const top = stack[stack.length - 1];
    const c = top.next;
    if (!c) { n[top.slot] = top.count; stack.pop(); continue; }
    if (elements >= LIMITS.elements || chars >= LIMITS.characters || bytes >= LIMITS.bytes) {
      trunc = elements >= LIMITS.elements ? 'elements' : chars >= LIMITS.characters ? 'characters' : 'bytes';
      for (const f of stack) n[f.slot] = f.count;
      break;
    }
    top.next = c.nextSibling;
    if (c.nodeType === 1) { top.count++; enter(c, top); continue; }
    if (c.nodeType !== 3) continue;
    const txt = c.nodeValue;
    if (BLANK.test(txt)) {
      if (top.tablePart) continue;  // white space between table parts is never rendered
      range.selectNodeContents(c);
      const rs = range.getClientRects();
      if (!rs.length || rs[0].width <= 0) continue;
    }
    if (chars + txt.length > LIMITS.characters) { trunc = 'characters'; for (const f of stack) n[f.slot] = f.count; break; }
    top.count++;
    n.push(-1);
    chars += txt.length;
    lines(c, txt, top.whiteSpace, top.leftToRight);
  }
  const de = document.documentElement, root = ROOT || de;
  return JSON.stringify({ v: 2, sx, sy, vw: de ? de.clientWidth : 0, vh: de ? de.clientHeight : 0,
                          sw: root ? root.scrollWidth : 0, sh: root ? root.scrollHeight : 0,
                          dw: de ? de.scrollWidth : 0, dh: de ? de.scrollHeight : 0,
                          trunc, s, st, n, e, t, a, p, m });
})
