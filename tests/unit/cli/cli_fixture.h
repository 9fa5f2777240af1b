#pragma once
// Workbooks for the command tests, written once per test program by python3-xlwt.
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/xls_maker.h"
#include "tests/unit/checks/records/id_test_numbers.h"
#include "tests/support/temp_folder.h"

namespace qm::test {

inline const std::string kMaleId = withCheckChar("11010520100105001");
inline const std::string kFemaleId = withCheckChar("11010520100105002");

// students.xls: "学生名单" (faulty records), "clean" (correct with YYYY-MM-DD
// and 1或2), "其它" (no column named like the window looks for).
// base.xls / probe.xls: a comparison's two workbooks.
inline void writeCliWorkbooks(const TempFolder& dir) {
  XlsSheet students{"学生名单",
                    {{"姓名", "身份证号", "出生日期", "性别"},
                     {"甲", kMaleId, "20100105", "男"},
                     {"乙", "", "20100105", "男"},
                     {"丙", "110105201001050", "20100105", "男"},
                     {"丁", withWrongCheckChar("11010520100105001"), "20100106", "男"},
                     {"戊", kFemaleId, "20100105", "男"}}};
  XlsSheet clean{"clean", {{"身份证号", "出生日期", "性别"}}};
  for (int i = 0; i < 3; ++i) clean.rows.push_back({kFemaleId, "2010-1-5", "2"});
  XlsSheet other{"其它", {{"证件号码", "生日", "男女"}, {kMaleId, "20100106", "女"}, {"123", "20100105", "男"}}};
  XlsSheet base{"基准", {{"学号", "姓名", "班级"}, {"K1", "张三", "1班"}, {"K1", "张叁", "1班"}, {"K2", "李四", "2班"}}};
  XlsSheet probe{"待查", {{"编号", "学号", "姓名 ", "年级"}, {"1", "K1", "张三", "1班"}, {"2", "K3", "王五", "3班"}}};
  writeXlsFiles({{dir.file("students.xls"), {students, clean, other}},
                 {dir.file("base.xls"), {base}},
                 {dir.file("probe.xls"), {probe}}},
                dir.path.string());
}

inline std::string joinLines(const std::vector<std::string>& lines, const char* end = "\n") {
  std::string s;
  for (const auto& l : lines) s += l + end;
  return s;
}

}  // namespace qm::test
