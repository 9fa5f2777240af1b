#include <gtest/gtest.h>

#include "app/settings/province_buttons.h"

using namespace qm;

TEST(ProvinceButtons, FiveToARowInCodeOrderThenTheCustomOne) {
  const char* const rows[5][5] = {
      {"湖北", "黑龙江", "吉林", "内蒙古", "河北"}, {"河南", "山西", "湖南", "江西", "福建"},
      {"广东", "广西", "海南", "云南", "贵州"},     {"重庆", "宁夏", "甘肃", "青海", "新疆"},
      {"四川", "陕西", "辽宁", nullptr, nullptr},
  };
  const auto& buttons = provinceButtons();
  ASSERT_EQ(buttons.size(), 24u);
  std::size_t i = 0;
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5 && rows[r][c]; ++c, ++i) {
      SCOPED_TRACE(rows[r][c]);
      EXPECT_EQ(buttons[i].caption, rows[r][c]);
      EXPECT_EQ(buttons[i].row, r);
      EXPECT_EQ(buttons[i].column, c);
      EXPECT_EQ(buttons[i].code, static_cast<int>(i) + 1);
      EXPECT_EQ(buttons[i].name, "RadioButton" + std::to_string(i + 1));
      EXPECT_FALSE(buttons[i].fullRow);
    }
  const ProvinceButton& custom = buttons.back();
  EXPECT_EQ(custom.name, "RadioButton99");
  EXPECT_EQ(custom.code, 99);
  EXPECT_EQ(custom.caption, "自定义网址（前面不要加http://，后面不要加斜杠)");
  EXPECT_EQ(custom.row, 5);
  EXPECT_EQ(custom.column, 0);
  EXPECT_TRUE(custom.fullRow);
}

TEST(ProvinceButtons, LookupByNameWithoutCase) {
  const std::pair<const char*, int> found[] = {
      {"1", 1}, {"7", 7}, {"13", 13}, {"23", 23}, {"99", 99},
  };
  for (auto [code, expected] : found) {
    const ProvinceButton* b = provinceButtonForCode(code);
    ASSERT_NE(b, nullptr) << code;
    EXPECT_EQ(b->code, expected);
  }
  for (const char* code : {"", "0", "07", "+7", "24", "98", "100", "abc", "7 ", "-1", "１"})
    EXPECT_EQ(provinceButtonForCode(code), nullptr) << code;
  ASSERT_NE(provinceButtonNamed("RADIOBUTTON12"), nullptr);
  EXPECT_EQ(provinceButtonNamed("RADIOBUTTON12")->caption, "广西");
  EXPECT_EQ(provinceButtonNamed("radiobutton99")->code, 99);
  EXPECT_EQ(provinceButtonNamed("RadioButton"), nullptr);
}
