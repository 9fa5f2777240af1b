#pragma once
// The registration-server pages and the quick-navigation menu: what each
// opener sends the last tab to and what status panel 0 says meanwhile.
#include <string>
#include <vector>

namespace qm {

struct ProvincialSite;

inline constexpr const char* kInSchoolQueryPath = "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp";
inline constexpr const char* kInSchoolQueryText = "正在打开查询在校生网页...";
inline constexpr const char* kDepartmentAuditPath = "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_zgbmsh_list.jsp";
inline constexpr const char* kSchoolAuditPath = "/jsp/mems/xsxxgl/zxxsxsxjyd/xjyd_xxsh_list.jsp";
inline constexpr const char* kAuditText = "正在打开学籍异动审核网页...";

// Account type 1 audits as the education department; every other type as a school.
inline const char* auditPathFor(int accountType) {
  return accountType == 1 ? kDepartmentAuditPath : kSchoolAuditPath;
}

struct MenuEntry {
  std::string item;     // QAction objectName, "N1"
  std::string caption;
  std::string panelText;
  bool hidden = false;
  std::string serverPath;                 // set for pages of the registration server
  const ProvincialSite* site = nullptr;   // set for other provinces' sites

  // serverHost: host or host:port of the registration server.
  std::string address(const std::string& serverHost) const;
};

// PopupMenu1 in menu order: N1, N2, N7, N3, N4, N5, N6, N8, N9, N10.
const std::vector<MenuEntry>& quickNavigationMenu();

}  // namespace qm
