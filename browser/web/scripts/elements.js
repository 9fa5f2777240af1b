// One element by its id or name, as the document's element collection finds
// it: none, or several sharing the key, answer null.
({
  find: function (key) {
    var hits = [];
    var all = document.getElementsByTagName("*");
    for (var i = 0; i < all.length && hits.length < 2; i++) {
      if (all[i].id === key || all[i].getAttribute("name") === key) hits.push(all[i]);
    }
    return hits.length === 1 ? hits[0] : null;
  },
  text: function (key) { var el = this.find(key); return el ? el.innerText : null; },
  html: function (key) { var el = this.find(key); return el ? el.innerHTML : null; },
  value: function (key) {
    var el = this.find(key);
    return el && el.value !== undefined ? String(el.value) : null;
  }
})
