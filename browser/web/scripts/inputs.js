// Input elements: values by name, keyboard focus by position.
({
  // Writes value into every INPUT whose name, ASCII letters upper-cased, is
  // upperName; answers the count.
  setByName: function (upperName, value) {
    var all = document.getElementsByTagName("*");
    var count = 0;
    for (var i = 0; i < all.length; i++) {
      var el = all[i];
      if (el.tagName !== "INPUT") continue;
      var name = String(el.getAttribute("name") || "").replace(/[a-z]/g, function (c) { return c.toUpperCase(); });
      if (name === upperName) {
        el.value = value;
        count++;
      }
    }
    return count;
  },
  focusAt: function (index) {
    var el = document.getElementsByTagName("INPUT")[index];
    if (!el) return null;
    el.focus();
    return true;
  }
})
