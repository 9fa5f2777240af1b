// The n-th table of the document (document order, nested tables counted),
// its rows and cells by index.
({
  table: function (t) { return document.getElementsByTagName("table")[t] || null; },
  tableCount: function () { return document.getElementsByTagName("table").length; },
  rowCount: function (t) { var tb = this.table(t); return tb ? tb.rows.length : null; },
  cellText: function (t, r, c) {
    var tb = this.table(t);
    var row = tb ? tb.rows[r] : null;
    var cell = row ? row.cells[c] : null;
    return cell ? cell.innerText : null;
  },
  rowTexts: function (t, r) {
    var tb = this.table(t);
    var row = tb ? tb.rows[r] : null;
    if (!row) return null;
    var out = [];
    for (var i = 0; i < row.cells.length; i++) out.push(row.cells[i].innerText);
    return out;
  },
  // Every row's cell texts at once, for reads that walk a whole table.
  tableTexts: function (t) {
    var tb = this.table(t);
    if (!tb) return null;
    var out = [];
    for (var r = 0; r < tb.rows.length; r++) out.push(this.rowTexts(t, r));
    return out;
  }
})
