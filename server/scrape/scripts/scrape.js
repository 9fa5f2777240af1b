// The list pages' grid and pager as the scrapes step through them. Elements
// are found as the document's element collection finds them: by id or name,
// and none when several share the key.
({
  find: function (key) {
    var hits = [];
    var all = document.getElementsByTagName("*");
    for (var i = 0; i < all.length && hits.length < 2; i++) {
      if (all[i].id === key || all[i].getAttribute("name") === key) hits.push(all[i]);
    }
    return hits.length === 1 ? hits[0] : null;
  },
  trim: function (s) { return s.replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, ""); },
  text: function (key) { var el = this.find(key); return el ? el.innerText : null; },
  value: function (key) {
    var el = this.find(key);
    return el && el.value !== undefined ? String(el.value) : null;
  },
  click: function (key) { var el = this.find(key); if (!el) return false; el.click(); return true; },
  // While the next page is awaited: the page box's value (null without the
  // box), and what shows the page at work: the pager text and the first row
  // of table `first` ("" for either when missing).
  progress: function (boxKey, textKey, first) {
    var text = this.text(textKey);
    var table = document.getElementsByTagName("table")[first];
    var row = table && table.rows[0] ? table.rows[0].innerText : "";
    return [this.value(boxKey), text === null ? "" : text, row];
  },
  // One page's tables from `from` to `last`: each gives the texts of cells
  // readFrom..readTo of its first row (null for a cell the row lacks). The
  // walk ends after the first table whose cell endCell reads "第" or nothing
  // once trimmed, and at a table without a first row or that cell (null).
  tables: function (from, last, readFrom, readTo, endCell) {
    var all = document.getElementsByTagName("table");
    var out = [];
    for (var t = from; t <= last; t++) {
      var row = all[t] ? all[t].rows[0] : null;
      var end = row ? row.cells[endCell] : null;
      if (!end) { out.push(null); break; }
      var cells = [];
      for (var c = readFrom; c <= readTo; c++) cells.push(row.cells[c] ? row.cells[c].innerText : null);
      out.push(cells);
      var mark = this.trim(end.innerText);
      if (mark === "" || mark === "第") break;
    }
    return out;
  }
})
