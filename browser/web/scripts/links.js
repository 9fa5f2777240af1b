// Links of the document, in document order.
({
  // Clicks every link whose visible text is exactly text; answers the count.
  clickByText: function (text) {
    var links = Array.prototype.slice.call(document.links);
    var count = 0;
    for (var i = 0; i < links.length; i++) {
      if (links[i].innerText === text) {
        links[i].click();
        count++;
      }
    }
    return count;
  }
})
