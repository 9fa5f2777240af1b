// Repeated headers made unique when a sheet opens.
#include <gtest/gtest.h>

#include "workbook/column_names.h"

namespace qm {
namespace {

using Names = std::vector<std::string>;

TEST(ColumnNames, RepeatedHeadersGetTheSmallestFreeNumber) {
  const struct {
    std::vector<std::string_view> headers;
    Names names;
  } cases[] = {
      {{"姓名", "身份证号", "性别"}, {"姓名", "身份证号", "性别"}},
      {{"姓名", "姓名", "姓名"}, {"姓名", "姓名1", "姓名2"}},
      // A name of the sheet's own keeps it; the repeat takes the next free number.
      {{"姓名", "姓名", "姓名1"}, {"姓名", "姓名2", "姓名1"}},
      // Letter case does not count, as in lookups; the repeat keeps its own spelling.
      {{"IdCard", "IDCARD", "idcard1"}, {"IdCard", "IDCARD2", "idcard1"}},
      // A trailing blank makes another name, as in lookups.
      {{"备注", "备注 "}, {"备注", "备注 "}},
      // Columns without a header are F<n> by position, and clash like any name.
      {{"F2", ""}, {"F2", "F21"}},
      {{"", "", "a"}, {"F1", "F2", "a"}},
  };
  for (const auto& c : cases) EXPECT_EQ(uniqueColumnNames(c.headers), c.names) << c.names.front();
}

}  // namespace
}  // namespace qm
