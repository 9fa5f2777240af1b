#pragma once
// A small export-like sheet: Chinese titles, rare characters outside GBK
// (one as a surrogate pair), a Latin-1 text, empty cells and rows, a
// text-formatted ID column and an empty text-formatted cell, widths.
#include "sheet/sheet.h"

namespace qm::test {

inline Sheet sampleSheet() {
  Sheet s;
  const char* titles[] = {"姓名", "性别", "身份证号", "备注", "班级"};
  for (int c = 1; c <= 5; ++c) s.setText(1, c, titles[c - 1]);
  s.setColumnWidth(1, "9.75");
  s.setColumnWidth(3, "20");
  s.setColumnWidth(4, "4.5");
  s.setColumnWidth(7, "12.25");  // a width on a column without cells
  s.setText(2, 1, "王䶮");
  s.setText(2, 2, "男");
  s.setTextFormat(2, 3);
  s.setText(2, 3, "11010519491231002X");
  s.setText(2, 4, "𠀀𪚥 ok");
  s.setText(3, 1, "Zoë Ørsted");
  s.setText(3, 2, "男");  // repeated text
  s.setTextFormat(3, 3);
  s.setText(3, 3, "000123");
  s.setTextFormat(3, 4);   // formatted, no value
  s.setText(3, 5, "old");
  s.setText(3, 5, "一（2）班");
  s.setText(5, 2, "女");   // row 4 stays empty
  s.setText(5, 6, "tab\there");
  return s;
}

}  // namespace qm::test
