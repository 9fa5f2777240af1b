#include "browser/navigation/navigation_pages.h"
#include "browser/navigation/provincial_sites.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ProvincialSites, SchemesPathsHiddenFlagsAndTexts) {
  struct Row {
    const char* item;
    const char* caption;
    const char* scheme;
    const char* path;
    const char* text;
    bool hidden;
  };
  const std::vector<Row> expected{
      {"N3", "山东省学籍查询", "http", "/2013/pub/grbsmiframe.jsf", "正在打开山东省学籍查询网页...", false},
      {"N4", "江苏省学籍查询", "https", "/studman2/cidGetInfo.jsp", "正在打开江苏省学籍查询网页...", false},
      {"N5", "安徽省学籍查询", "http", "/cx/", "正在打开安徽省学籍查询网页...", false},
      {"N6", "青海省学籍查询", "http", "/fw/wscx/zxxs/", "正在打开青海省学籍查询网页...", false},
      {"N8", "上海市学籍查询", "http", "/", "正在打开上海市学籍查询网页...", true},
      {"N9", "湖南省学籍查询", "http", "/xjcx/query.do", "正在打开湖南省学籍查询网页...", false},
      {"N10", "内蒙古学籍查询", "http", "/xj/xxcj/xjccAction.hhd", "正在打开内蒙古学籍查询网页...", true},
  };
  const auto sites = qm::provincialSites();
  ASSERT_EQ(sites.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].item);
    const auto& s = sites[i];
    EXPECT_STREQ(s.item, expected[i].item);
    EXPECT_STREQ(s.caption, expected[i].caption);
    EXPECT_STREQ(s.scheme, expected[i].scheme);
    EXPECT_STREQ(s.path, expected[i].path);
    EXPECT_STREQ(s.panelText, expected[i].text);
    EXPECT_EQ(s.hidden, expected[i].hidden);
    // Unconfirmed hosts must stay unreachable.
    const std::string host = s.host;
    EXPECT_TRUE(host.ends_with(".invalid")) << host;
    EXPECT_EQ(s.address(), std::string(expected[i].scheme) + "://" + host + expected[i].path);
    EXPECT_EQ(qm::findProvincialSite(expected[i].item), &s);
  }
  EXPECT_EQ(qm::findProvincialSite("N1"), nullptr);
}

TEST(QuickNavigationMenu, OrderAddressesAndTexts) {
  const auto& menu = qm::quickNavigationMenu();
  std::vector<std::string> items;
  for (const auto& e : menu) items.push_back(e.item);
  EXPECT_EQ(items, (std::vector<std::string>{"N1", "N2", "N7", "N3", "N4", "N5", "N6", "N8", "N9", "N10"}));

  const std::string host = "127.0.0.1:8080";
  EXPECT_EQ(menu[0].address(host), "http://127.0.0.1:8080/jsp/mems/kszs/kszsSh_list.jsp");
  EXPECT_EQ(menu[0].panelText, "正在打开跨省就学审核网页...");
  EXPECT_EQ(menu[0].caption, "跨省就学审核");
  EXPECT_EQ(menu[1].address(host), "http://127.0.0.1:8080/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp");
  EXPECT_EQ(menu[1].panelText, "正在打开全省学生查询网页...");
  EXPECT_EQ(menu[1].caption, "省内学籍查询");
  EXPECT_EQ(menu[2].address(host), "http://127.0.0.1:8080/jsp/mems/xjgl/zhcx/byscx/byscx.jsp");
  EXPECT_EQ(menu[2].panelText, "正在打开毕业生查询网页...");
  EXPECT_EQ(menu[2].caption, "毕业生查询");
  // Other provinces' sites do not depend on the registration server.
  EXPECT_EQ(menu[4].address(host), qm::findProvincialSite("N4")->address());
  for (const auto& e : menu) EXPECT_EQ(e.hidden, e.item == "N8" || e.item == "N10") << e.item;
}

TEST(AuditPath, AccountTypeOneIsTheDepartmentList) {
  EXPECT_STREQ(qm::auditPathFor(1), "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_zgbmsh_list.jsp");
  for (int t : {0, 2, 3, 9}) EXPECT_STREQ(qm::auditPathFor(t), "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp") << t;
}

}  // namespace
