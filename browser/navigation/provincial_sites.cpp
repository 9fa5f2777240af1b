#include "browser/navigation/provincial_sites.h"

#include <array>

namespace qm {

namespace {

// PLACEHOLDER HOSTS: the real host names of these sites could not be
// confirmed. They sit under the reserved ".invalid" domain so that they reach
// no server; replace each one once its address is confirmed. Schemes and
// paths are the known ones.
constexpr std::array<ProvincialSite, 7> kSites{{
    {"N3", "山东省学籍查询", "http", "shandong-xjcx.invalid", "/2013/pub/grbsmiframe.jsf",
     "正在打开山东省学籍查询网页...", false},
    {"N4", "江苏省学籍查询", "https", "jiangsu-xjcx.invalid", "/studman2/cidGetInfo.jsp",
     "正在打开江苏省学籍查询网页...", false},
    {"N5", "安徽省学籍查询", "http", "anhui-xjcx.invalid", "/cx/", "正在打开安徽省学籍查询网页...", false},
    {"N6", "青海省学籍查询", "http", "qinghai-xjcx.invalid", "/fw/wscx/zxxs/", "正在打开青海省学籍查询网页...",
     false},
    {"N8", "上海市学籍查询", "http", "shanghai-xjcx.invalid", "/", "正在打开上海市学籍查询网页...", true},
    {"N9", "湖南省学籍查询", "http", "hunan-xjcx.invalid", "/xjcx/query.do", "正在打开湖南省学籍查询网页...",
     false},
    {"N10", "内蒙古学籍查询", "http", "neimenggu-xjcx.invalid", "/xj/xxcj/xjccAction.hhd",
     "正在打开内蒙古学籍查询网页...", true},
}};

}  // namespace

std::span<const ProvincialSite> provincialSites() { return kSites; }

const ProvincialSite* findProvincialSite(const std::string& item) {
  for (const auto& s : kSites)
    if (item == s.item) return &s;
  return nullptr;
}

}  // namespace qm
