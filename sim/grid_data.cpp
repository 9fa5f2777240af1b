#include "sim/grid_data.h"

#include <cstdio>

#include "sim/province_registry.h"

namespace qm::sim {
namespace {

const GridLayout kLayouts[] = {
    {GridKind::InSchool, "zxs", 6, 3, "l5-gen55", "l5-gen59", "l5-gen54"},
    {GridKind::DepartmentAudit, "zgbmsh", 3, 2, "l5-gen35", "l5-gen39", "l5-gen34"},
    {GridKind::SchoolAudit, "xxsh", 3, 2, "l5-gen34", "l5-gen38", "l5-gen33"},
    {GridKind::InSchoolDetails, "zxsxx", 4, 3, "l5-gen49", "l5-gen53", "l5-gen48"},
};

constexpr int kAuditRecords = 23;

const char* const kChangeTypes[] = {"转学", "休学", "复学", "退学", "转学"};
const char* const kChangeReasons[] = {"随父母工作调动", "因病休学", "病愈复学", "出国", "户籍迁移"};

std::string gender(const Student& s) { return s.xbm == "1" ? "男" : "女"; }

std::string ethnicity(const Student& s) {
  if (s.mzm == "01") return "汉族";
  if (s.mzm == "03") return "回族";
  if (s.mzm == "81") return "穿青人族";
  return "未知";
}

bool isAudit(GridKind kind) { return kind == GridKind::DepartmentAudit || kind == GridKind::SchoolAudit; }

std::vector<std::string> inSchoolRow(const SchoolData& school, const Student& s, int index) {
  return {"", std::to_string(index + 1), s.xsJbxxId, s.xm, s.sfzjh, s.grbsm, gender(s), ethnicity(s), s.csrq,
          s.jdfsm == "2" ? "住校" : "走读", school.xxmc, s.njmc, s.bjmc, s.lxdh,
          s.jdztm == "31" ? "休学" : "在校", s.sfcjm == "1" ? "是" : "否"};
}

std::vector<std::string> detailsRow(const SchoolData& school, const Student& s, int index) {
  return {"", std::to_string(index + 1), s.xsJbxxId, s.xm, s.sfzjh, s.grbsm, gender(s), s.csrq, ethnicity(s),
          s.jtzz, s.njmc, school.xxmc};
}

// Audit record index: a change of one of the school's students.
std::vector<std::string> auditRow(const SchoolData& school, GridKind kind, int index) {
  const Student& s = school.students[static_cast<std::size_t>(index) * 7 % school.students.size()];
  char date[16];
  std::snprintf(date, sizeof date, "2024-09-%02d", 1 + index % 28);
  const auto& others = otherSchoolNames();
  return {"", std::to_string(index + 1), s.xm, s.sfzjh, school.xxmc, gender(s), s.njmc, kChangeTypes[index % 5],
          kChangeReasons[index % 5], date, kind == GridKind::DepartmentAudit ? "待主管部门审核" : "待学校审核",
          others[static_cast<std::size_t>(index) % others.size()]};
}

}  // namespace

const GridLayout& gridLayout(GridKind kind) {
  for (const auto& layout : kLayouts)
    if (layout.kind == kind) return layout;
  return kLayouts[0];
}

bool gridKindByName(std::string_view name, GridKind& kind) {
  for (const auto& layout : kLayouts) {
    if (name == layout.name) {
      kind = layout.kind;
      return true;
    }
  }
  return false;
}

int gridRowCount(const SchoolData& school, GridKind kind, int requested) {
  const int students = static_cast<int>(school.students.size());
  if (students == 0) return 0;
  if (isAudit(kind)) return requested < 0 ? kAuditRecords : requested;
  return requested < 0 || requested > students ? students : requested;
}

int gridPageCount(int rows) { return rows <= kGridPageRows ? 1 : (rows + kGridPageRows - 1) / kGridPageRows; }

std::vector<std::string> gridHeader(GridKind kind) {
  switch (kind) {
    case GridKind::InSchool:
      return {"", "序号", "学生ID", "姓名", "身份证件号", "学籍号", "性别", "民族", "出生日期", "就读方式",
              "学校名称", "年级", "班级", "联系电话", "就读状态", "是否残疾"};
    case GridKind::InSchoolDetails:
      return {"", "序号", "学生ID", "姓名", "身份证件号", "学籍号", "性别", "出生日期", "民族", "家庭住址",
              "年级", "学校名称"};
    case GridKind::DepartmentAudit:
    case GridKind::SchoolAudit:
      break;
  }
  return {"", "序号", "姓名", "身份证件号", "学校名称", "性别", "年级", "异动类型", "异动原因", "申请日期",
          "审核状态", "转入学校"};
}

std::vector<std::string> gridRow(const SchoolData& school, GridKind kind, int index) {
  if (isAudit(kind)) return auditRow(school, kind, index);
  const Student& s = school.students[static_cast<std::size_t>(index)];
  return kind == GridKind::InSchoolDetails ? detailsRow(school, s, index) : inSchoolRow(school, s, index);
}

std::string pagerText(int pages) { return "，共 " + std::to_string(pages) + " 页"; }

}  // namespace qm::sim
