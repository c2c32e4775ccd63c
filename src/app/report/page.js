/* Draws the report from the data element: a tree of paths in which only the
   rows of open nodes are elements of the page. Names are put in as text,
   never as markup. */
(function () {
  'use strict';

  var data = JSON.parse(document.getElementById('data').textContent);
  var names = data.names;
  var depths = data.depths;
  var marks = data.marks;
  var count = names.length;
  var comparison = data.report === 'comparison';

  var NONE = 0, CREATED = 1, DELETED = 2, MODIFIED = 3, LISTED = 4;
  var WORDS = ['', 'created', 'deleted', 'modified', ''];
  var CHUNK = 100;
  var MAX_HITS = 1000;

  /* The tree: each node's parent and the end of its subtree, in the depth
     first order of the data; the count of each mark below each node; the
     first fingerprint of each listed or modified node. */
  var parent = new Int32Array(count);
  var end = new Int32Array(count);
  var below = [null, new Int32Array(count), new Int32Array(count), new Int32Array(count), new Int32Array(count)];
  var fingerprintAt = new Int32Array(count);
  /* The place of each listed or modified node in data.details, when the dumps have details. */
  var detailsAt = new Int32Array(count);
  var mark = new Uint8Array(count);
  var open = new Uint8Array(count);
  var hit = new Uint8Array(count);
  var roots = [];

  (function build() {
    var stack = [];
    var fingerprints = 0;
    var detailed = 0;
    var i, k;
    for (i = 0; i < count; i++) {
      mark[i] = marks.charCodeAt(i) - 48;
      while (stack.length > depths[i]) end[stack.pop()] = i;
      parent[i] = stack.length ? stack[stack.length - 1] : -1;
      if (parent[i] < 0) roots.push(i);
      stack.push(i);
      fingerprintAt[i] = -1;
      detailsAt[i] = -1;
      if (mark[i] === MODIFIED || mark[i] === LISTED) detailsAt[i] = detailed++;
      if (mark[i] === MODIFIED) { fingerprintAt[i] = fingerprints; fingerprints += 2; }
      if (mark[i] === LISTED) { fingerprintAt[i] = fingerprints; fingerprints += 1; }
    }
    while (stack.length) end[stack.pop()] = count;
    for (i = count - 1; i >= 0; i--) {
      var p = parent[i];
      if (p < 0) continue;
      for (k = CREATED; k <= LISTED; k++) below[k][p] += below[k][i];
      if (mark[i]) below[mark[i]][p] += 1;
    }
    for (i = 0; i < count; i++) {
      if (depths[i] < 2 && !wholeSubtree(i)) open[i] = 1;
    }
  })();

  /* A created or deleted node with everything below it created or deleted too
     stays one line. */
  function wholeSubtree(i) {
    var m = mark[i];
    return (m === CREATED || m === DELETED) && end[i] - i > 1 && below[m][i] === end[i] - i - 1;
  }

  function isRegistry(i) {
    while (parent[i] >= 0) i = parent[i];
    return names[i].indexOf('HKEY_') === 0;
  }

  function number(n) { return n.toLocaleString('en-US'); }

  function entries(n) { return number(n) + (n === 1 ? ' entry' : ' entries'); }

  function el(tag, className, text) {
    var e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  /* A name as text. A byte that is not valid UTF-8 comes as U+DC80 to U+DCFF
     and is shown as a backslash and three octal digits, marked. */
  function appendName(target, name) {
    if (name === '') { target.appendChild(el('span', 'nameless', '(no name)')); return; }
    var run = '';
    for (var i = 0; i < name.length; i++) {
      var c = name.charCodeAt(i);
      if (c >= 0xDC80 && c <= 0xDCFF) {
        if (run) { target.appendChild(document.createTextNode(run)); run = ''; }
        var odd = el('span', 'odd', '\\' + ('00' + (c - 0xDC00).toString(8)).slice(-3));
        odd.title = 'a byte that is not valid UTF-8';
        target.appendChild(odd);
      } else {
        run += name.charAt(i);
      }
    }
    if (run) target.appendChild(document.createTextNode(run));
  }

  /* The path of a node at `depth` below the path of its parent. The roots
     '/' and a drive's root such as C:\ end in their separator already. */
  function childPath(parentPath, depth, name) {
    if (parentPath.charAt(0) === '/') return parentPath + (depth === 1 ? '' : '/') + name;
    if (depth === 1 && /^[A-Za-z]:\\$/.test(parentPath)) return parentPath + name;
    return parentPath + '\\' + name;
  }

  function fullPath(i) {
    var parts = [];
    for (var j = i; j >= 0; j = parent[j]) parts.push(names[j]);
    parts.reverse();
    var path = parts[0];
    for (var d = 1; d < parts.length; d++) path = childPath(path, d, parts[d]);
    return path;
  }

  function hex(text) { return ('0000000000000000' + text).slice(-16); }

  /* A FILETIME, 100-nanosecond steps since 1601-01-01 UTC, as ISO 8601 in UTC. */
  function isoTime(text) {
    var steps = BigInt('0x' + text) - 116444736000000000n;
    var seconds = steps / 10000000n;
    var rest = steps % 10000000n;
    if (rest < 0n) { rest += 10000000n; seconds -= 1n; }
    var date = new Date(Number(seconds) * 1000);
    if (isNaN(date.getTime())) return hex(text);
    var iso = date.toISOString().replace('.000Z', '');
    if (rest > 0n) iso += '.' + ('000000' + rest.toString()).slice(-7).replace(/0+$/, '');
    return iso + 'Z';
  }

  function details(i) {
    var at = fingerprintAt[i];
    if (at < 0) return '';
    if (data.details && data.details[detailsAt[i]]) return data.details[detailsAt[i]];
    var fingerprints = data.fingerprints;
    if (mark[i] === MODIFIED) {
      if (isRegistry(i)) return 'data changed: ' + hex(fingerprints[at]) + ' \u2192 ' + hex(fingerprints[at + 1]);
      return 'last write: ' + isoTime(fingerprints[at]) + ' \u2192 ' + isoTime(fingerprints[at + 1]);
    }
    if (isRegistry(i)) return 'fingerprint ' + hex(fingerprints[at]);
    return 'last write ' + isoTime(fingerprints[at]);
  }

  /* Filters and search decide which nodes are shown. */
  var shown = [false, true, true, true, true];
  var searching = false;

  function visible(i, all) {
    if (searching && !all && !hit[i]) return false;
    if (!comparison) return true;
    if (shown[mark[i]]) return true;
    for (var k = CREATED; k <= MODIFIED; k++) if (shown[k] && below[k][i] > 0) return true;
    return false;
  }

  function hasChildren(i) { return end[i] - i > 1; }

  /* While searching, a node is a match (1), open (2) or on the way to a match (4). */
  function isOpen(i) { return searching ? (hit[i] & 2) !== 0 : open[i] === 1; }

  function countsText(target, i) {
    var parts = [];
    if (comparison) {
      if (wholeSubtree(i)) {
        var word = WORDS[mark[i]];
        var whole = el('span', 'counts');
        whole.appendChild(el('span', word, word + ': ' + entries(end[i] - i - 1) + ' below'));
        target.appendChild(whole);
        return;
      }
      for (var k = CREATED; k <= MODIFIED; k++) {
        if (below[k][i] > 0) parts.push([WORDS[k], number(below[k][i]) + ' ' + WORDS[k]]);
      }
    } else if (below[LISTED][i] > 0) {
      parts.push(['', entries(below[LISTED][i]) + ' below']);
    }
    if (!parts.length) return;
    var span = el('span', 'counts');
    for (var p = 0; p < parts.length; p++) {
      if (p) span.appendChild(document.createTextNode(', '));
      span.appendChild(el('span', parts[p][0], parts[p][1]));
    }
    if (comparison) span.appendChild(document.createTextNode(' below'));
    target.appendChild(span);
  }

  function nodeItem(i) {
    var li = el('li');
    li.setAttribute('role', 'treeitem');
    li.dataset.node = i;
    if (searching && (hit[i] & 1)) li.classList.add('hit');
    var row = el('div', 'row');
    row.tabIndex = -1;
    row.title = fullPath(i);
    var twisty = el('span', 'twisty', '');
    row.appendChild(twisty);
    var name = el('span', 'name');
    appendName(name, names[i]);
    row.appendChild(name);
    var m = mark[i];
    if (m >= CREATED && m <= MODIFIED) row.appendChild(el('span', 'mark ' + WORDS[m], WORDS[m]));
    countsText(row, i);
    var text = details(i);
    if (text) row.appendChild(el('span', 'details', text));
    li.appendChild(row);
    if (hasChildren(i)) {
      li.setAttribute('aria-expanded', isOpen(i) ? 'true' : 'false');
      twisty.textContent = isOpen(i) ? '\u25BE' : '\u25B8';
      if (isOpen(i)) li.appendChild(group(i));
    }
    return li;
  }

  function childrenOf(i) {
    var list = [];
    if (i < 0) {
      for (var r = 0; r < roots.length; r++) if (visible(roots[r])) list.push(roots[r]);
      return list;
    }
    for (var c = i + 1; c < end[i]; c = end[c]) if (visible(c)) list.push(c);
    /* A match opened while searching shows all that is below it. */
    if (!list.length && searching) for (c = i + 1; c < end[i]; c = end[c]) if (visible(c, true)) list.push(c);
    return list;
  }

  /* The children of a node, a chunk at a time. */
  function fill(ul, list, from) {
    var to = Math.min(list.length, from + CHUNK);
    for (var n = from; n < to; n++) ul.appendChild(nodeItem(list[n]));
    if (to < list.length) {
      var li = el('li', 'more');
      var button = el('button', '', 'show ' + number(Math.min(CHUNK, list.length - to)) + ' more of ' +
                      number(list.length - to));
      button.type = 'button';
      button.addEventListener('click', function () {
        ul.removeChild(li);
        fill(ul, list, to);
      });
      li.appendChild(button);
      ul.appendChild(li);
    }
  }

  function group(i) {
    var ul = el('ul');
    ul.setAttribute('role', 'group');
    fill(ul, childrenOf(i), 0);
    return ul;
  }

  var tree = document.getElementById('tree');

  function draw() {
    while (tree.firstChild) tree.removeChild(tree.firstChild);
    fill(tree, childrenOf(-1), 0);
    var first = tree.querySelector('.row');
    if (first) first.tabIndex = 0;
    var empty = document.getElementById('empty');
    empty.hidden = tree.firstChild !== null;
    empty.textContent = count === 0 ? (comparison ? 'No differences to show.' : 'The dump holds no entries.')
                                    : searching ? 'No path matches.' : 'Nothing to show with these filters.';
  }

  function toggle(li, wanted) {
    var i = Number(li.dataset.node);
    if (!hasChildren(i)) return;
    var now = isOpen(i);
    if (wanted === now) return;
    if (searching) hit[i] = wanted ? hit[i] | 6 : hit[i] & 5; else open[i] = wanted ? 1 : 0;
    var replacement = nodeItem(i);
    li.parentNode.replaceChild(replacement, li);
    focusRow(replacement.firstChild);
  }

  function focusRow(row) {
    var old = tree.querySelectorAll('.row[tabindex="0"]');
    for (var o = 0; o < old.length; o++) old[o].tabIndex = -1;
    row.tabIndex = 0;
    row.focus();
  }

  tree.addEventListener('click', function (event) {
    var row = event.target.closest('.row');
    if (!row) return;
    var li = row.parentNode;
    toggle(li, !isOpen(Number(li.dataset.node)));
  });

  tree.addEventListener('keydown', function (event) {
    var row = event.target.closest('.row');
    if (!row) return;
    var li = row.parentNode;
    var i = Number(li.dataset.node);
    var rows, at;
    switch (event.key) {
    case 'Enter':
    case ' ':
      toggle(li, !isOpen(i));
      break;
    case 'ArrowRight':
      toggle(li, true);
      break;
    case 'ArrowLeft':
      if (hasChildren(i) && isOpen(i)) toggle(li, false);
      else if (li.parentNode.closest('li')) focusRow(li.parentNode.closest('li').firstChild);
      break;
    case 'ArrowDown':
    case 'ArrowUp':
      rows = Array.prototype.slice.call(tree.querySelectorAll('.row'));
      at = rows.indexOf(row) + (event.key === 'ArrowDown' ? 1 : -1);
      if (at >= 0 && at < rows.length) focusRow(rows[at]);
      break;
    default:
      return;
    }
    event.preventDefault();
  });

  /* Search: the nodes whose path holds the text, with their ancestors open. */
  var found = document.getElementById('found');

  function search(text) {
    var wanted = text.toLowerCase();
    hit.fill(0);
    searching = wanted.length > 0;
    found.textContent = '';
    if (searching) {
      var paths = [];
      var matches = 0;
      for (var i = 0; i < count; i++) {
        var d = depths[i];
        var path = d === 0 ? names[i] : childPath(paths[d - 1], d, names[i]);
        paths[d] = path;
        if (path.toLowerCase().indexOf(wanted) < 0) continue;
        matches++;
        if (matches > MAX_HITS) continue;
        hit[i] |= 1;
        for (var a = parent[i]; a >= 0 && !(hit[a] & 4); a = parent[a]) hit[a] |= 6;
      }
      found.textContent = matches === 0 ? 'no path matches' :
        matches > MAX_HITS ? 'the first ' + number(MAX_HITS) + ' of ' + number(matches) + ' matching paths' :
        number(matches) + (matches === 1 ? ' matching path' : ' matching paths');
    }
    draw();
  }

  var searchBox = document.getElementById('search');
  var pending = 0;
  searchBox.addEventListener('input', function () {
    clearTimeout(pending);
    pending = setTimeout(function () { search(searchBox.value); }, 250);
  });
  document.getElementById('controls').addEventListener('submit', function (event) {
    event.preventDefault();
    clearTimeout(pending);
    search(searchBox.value);
  });

  /* The header. */
  (function header() {
    var title = document.getElementById('title');
    var dumps = data.dumps;
    title.textContent = comparison ? 'Comparison of ' + dumps[0].file + ' and ' + dumps[1].file
                                   : 'Listing of ' + dumps[0].file;
    document.title = title.textContent + ' \u2013 Vestiga';
    var body = document.querySelector('#dumps tbody');
    for (var d = 0; d < dumps.length; d++) {
      var tr = el('tr');
      tr.appendChild(el('td', '', comparison ? (d === 0 ? 'old' : 'new') : 'listed'));
      var file = el('td', 'file');
      appendName(file, dumps[d].file);
      tr.appendChild(file);
      tr.appendChild(el('td', 'entries', number(dumps[d].entries)));
      body.appendChild(tr);
    }
    var totals = document.getElementById('totals');
    var filters = document.getElementById('filters');
    if (!comparison) {
      totals.textContent = entries(dumps[0].entries);
      filters.hidden = true;
      return;
    }
    [CREATED, DELETED, MODIFIED].forEach(function (k, n) {
      if (n) totals.appendChild(document.createTextNode(', '));
      totals.appendChild(el('span', WORDS[k], number(data[WORDS[k]]) + ' ' + WORDS[k]));
      var label = el('label');
      var box = el('input');
      box.type = 'checkbox';
      box.checked = true;
      box.id = 'show-' + WORDS[k];
      box.addEventListener('change', function () { shown[k] = box.checked; draw(); });
      label.appendChild(box);
      label.appendChild(document.createTextNode(' ' + WORDS[k]));
      filters.appendChild(label);
    });
    totals.appendChild(document.createTextNode(' (after the ignore patterns)'));
  })();

  draw();
  document.body.dataset.ready = 'true';
})();
