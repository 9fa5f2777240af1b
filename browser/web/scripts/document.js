// Whole-document reads and actions. Every function answers null when the
// document lacks what it asks for.
({
  rootInnerHtml: function () {
    var root = document.getElementsByTagName("html")[0];
    return root ? root.innerHTML : null;
  },
  readyState: function () {
    return document.readyState;
  },
  clickFirstByTag: function (tag) {
    var el = document.getElementsByTagName(tag)[0];
    if (!el) return null;
    el.click();
    return true;
  }
})
