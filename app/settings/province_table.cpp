#include "app/settings/province_table.h"

namespace qm {
namespace {

// PLACEHOLDER HOSTS. The provincial servers' real addresses could not be
// confirmed, so every entry below is a stand-in that can never reach a real
// server: names under the reserved ".invalid" domain and addresses from the
// documentation ranges (192.0.2.0/24, 198.51.100.0/24, 203.0.113.0/24).
// Replace each with the province's server once it is confirmed; keep the
// kind of entry (domain name, IPv4 address, 新疆 with ":8081"). Until then only
// a custom address (code 99) reaches a server.
constexpr std::array<Province, 23> kProvinces{{
    {1, "湖北", "xjgl.hubei.invalid"},
    {2, "黑龙江", "xjgl.heilongjiang.invalid"},
    {3, "吉林", "xjgl.jilin.invalid"},
    {4, "内蒙古", "192.0.2.4"},
    {5, "河北", "xjgl.hebei.invalid"},
    {6, "河南", "xjgl.henan.invalid"},
    {7, "山西", "xjgl.shanxi.invalid"},
    {8, "湖南", "xjgl.hunan.invalid"},
    {9, "江西", "xjgl.jiangxi.invalid"},
    {10, "福建", "xjgl.fujian.invalid"},
    {11, "广东", "xjgl.guangdong.invalid"},
    {12, "广西", "xjgl.guangxi.invalid"},
    {13, "海南", "198.51.100.13"},
    {14, "云南", "xjgl.yunnan.invalid"},
    {15, "贵州", "xjgl.guizhou.invalid"},
    {16, "重庆", "xjgl.chongqing.invalid"},
    {17, "宁夏", "xjgl.ningxia.invalid"},
    {18, "甘肃", "xjgl.gansu.invalid"},
    {19, "青海", "xjgl.qinghai.invalid"},
    {20, "新疆", "203.0.113.20:8081"},
    {21, "四川", "xjgl.sichuan.invalid"},
    {22, "陕西", "xjgl.shaanxi.invalid"},
    {23, "辽宁", "xjgl.liaoning.invalid"},
}};

const Province* find(int code) {
  if (code < 1 || code > static_cast<int>(kProvinces.size())) return nullptr;
  return &kProvinces[static_cast<std::size_t>(code - 1)];
}

}  // namespace

const std::array<Province, 23>& provinces() { return kProvinces; }

std::string provinceHost(int code) {
  const Province* p = find(code);
  return p ? p->host : std::string();
}

std::string provinceName(int code) {
  const Province* p = find(code);
  return p ? p->name : std::string();
}

}  // namespace qm
