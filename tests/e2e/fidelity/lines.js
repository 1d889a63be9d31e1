// Run in the browser after the document: writes the document's lines as the browser broke
// them into a <pre id=browser-lines>, one line of text per line, for --dump-dom.
(function () {
  var lines = [], current = "", bottom = null;
  var walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (var node = walk.nextNode(); node; node = walk.nextNode()) {
    var tag = node.parentNode.tagName;
    if (tag === "SCRIPT" || tag === "STYLE") continue;
    for (var i = 0; i < node.length; i++) {
      var range = document.createRange();
      range.setStart(node, i);
      range.setEnd(node, i + 1);
      var rects = range.getClientRects();
      if (!rects.length || rects[0].width === 0) continue;
      // A character starts a new line when it lies below the current one; spaces, which
      // may hang past a line's end, only go with the line they follow.
      if (/\S/.test(node.data[i])) {
        if (bottom !== null && rects[0].top >= bottom - 2) { lines.push(current); current = ""; bottom = null; }
        bottom = Math.max(bottom === null ? rects[0].bottom : bottom, rects[0].bottom);
      }
      current += node.data[i];
    }
  }
  lines.push(current);
  var out = document.createElement("pre");
  out.id = "browser-lines";
  out.textContent = lines.map(function (l) { return l.replace(/\s+/g, " ").trim(); }).join("\n");
  document.body.appendChild(out);
})();
