#include "browser/navigation/navigation_pages.h"

#include "browser/navigation/provincial_sites.h"

namespace qm {

std::string MenuEntry::address(const std::string& serverHost) const {
  return site ? site->address() : "http://" + serverHost + serverPath;
}

const std::vector<MenuEntry>& quickNavigationMenu() {
  static const std::vector<MenuEntry> menu = [] {
    std::vector<MenuEntry> m{
        {"N1", "跨省就学审核", "正在打开跨省就学审核网页...", false, "/jsp/mems/kszs/kszsSh_list.jsp", nullptr},
        {"N2", "省内学籍查询", "正在打开全省学生查询网页...", false, "/jsp/mems/xjgl/zhcx/qsxscx/qsxscx_list.jsp",
         nullptr},
        {"N7", "毕业生查询", "正在打开毕业生查询网页...", false, "/jsp/mems/xjgl/zhcx/byscx/byscx.jsp", nullptr},
    };
    for (const auto& s : provincialSites()) m.push_back({s.item, s.caption, s.panelText, s.hidden, {}, &s});
    return m;
  }();
  return menu;
}

}  // namespace qm
