#pragma once
// Reading the list pages as the scrapes see them, written out plainly so these
// tests depend on no other code of the program: tables numbered in document
// order, the first row's cell texts, elements by id, and the GBK byte rule of the
// pager text.
#include <iconv.h>

#include <string>
#include <vector>

namespace qm::test {

// Offsets of every "<table" in document order (nested tables count where they start).
inline std::vector<std::size_t> tableStarts(const std::string& html) {
  std::vector<std::size_t> starts;
  for (auto p = html.find("<table"); p != std::string::npos; p = html.find("<table", p + 1)) starts.push_back(p);
  return starts;
}

// Text of HTML with its tags removed and the five escapes decoded.
inline std::string textOf(const std::string& fragment) {
  std::string text;
  bool inTag = false;
  for (const char c : fragment) {
    if (c == '<') inTag = true;
    else if (c == '>') inTag = false;
    else if (!inTag) text += c;
  }
  const std::pair<const char*, const char*> escapes[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [from, to] : escapes)
    for (auto p = text.find(from); p != std::string::npos; p = text.find(from, p + 1))
      text.replace(p, std::string(from).size(), to);
  return text;
}

// Cell texts of the first row of table n (from 0); empty when there is no such table.
// Meant for tables without nested tables.
inline std::vector<std::string> firstRowCells(const std::string& html, std::size_t n) {
  const auto starts = tableStarts(html);
  std::vector<std::string> cells;
  if (n >= starts.size()) return cells;
  const auto rowEnd = html.find("</tr>", starts[n]);
  for (auto p = html.find("<td", starts[n]); p != std::string::npos && p < rowEnd; p = html.find("<td", p + 1)) {
    const auto open = html.find('>', p) + 1;
    cells.push_back(textOf(html.substr(open, html.find("</td>", open) - open)));
  }
  return cells;
}

// The tag that carries id="<id>", "" when none does.
inline std::string tagWithId(const std::string& html, const std::string& id) {
  const auto p = html.find("id=\"" + id + "\"");
  if (p == std::string::npos) return {};
  const auto open = html.rfind('<', p);
  return html.substr(open, html.find('>', p) - open + 1);
}

// Text right after the element's opening tag, up to the next tag.
inline std::string elementText(const std::string& html, const std::string& id) {
  const auto p = html.find("id=\"" + id + "\"");
  if (p == std::string::npos) return {};
  const auto start = html.find('>', p) + 1;
  return textOf(html.substr(start, html.find('<', start) - start));
}

// Value of an attribute inside a tag.
inline std::string attribute(const std::string& tag, const std::string& name) {
  const auto p = tag.find(" " + name + "=\"");
  if (p == std::string::npos) return {};
  const auto start = p + name.size() + 3;
  return tag.substr(start, tag.find('"', start) - start);
}

inline std::string toGbk(const std::string& utf8) {
  iconv_t cd = iconv_open("CP936", "UTF-8");
  std::string out(utf8.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size(), outLeft = out.size();
  char* to = out.data();
  const bool ok = iconv(cd, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return ok ? out : std::string();
}

// The pager rule: in the GBK bytes, the text after the first blank, (length - 8) bytes
// long, as a decimal integer; -1 when that is no integer.
inline int pageCountByGbkRule(const std::string& utf8) {
  const std::string gbk = toGbk(utf8);
  const auto blank = gbk.find(' ');
  if (blank == std::string::npos || gbk.size() < 8) return -1;
  const std::string digits = gbk.substr(blank + 1, gbk.size() - 8);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) return -1;
  return std::stoi(digits);
}

// CutBetween: the text between the first start marker and the first end marker after it.
inline std::string cutBetween(const std::string& text, const std::string& start, const std::string& end) {
  const auto p = text.find(start);
  if (p == std::string::npos) return {};
  const auto q = text.find(end, p + start.size());
  return q == std::string::npos ? std::string() : text.substr(p + start.size(), q - p - start.size());
}

}  // namespace qm::test
