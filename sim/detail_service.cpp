#include "sim/detail_service.h"

#include "sim/json_text.h"

namespace qm::sim {
namespace {

const char* const kGuardianGiven[] = {"建国", "志强", "海燕", "丽华", "国栋", "秀英", "永明", "桂芳"};
const char* const kMotherSurnames[] = {"陈", "林", "黄", "梁", "罗", "邓", "叶", "苏"};

void addString(std::string& out, const char* key, const std::string& value) {
  out += key;
  out += '"';
  out += jsonEscaped(value);
  out += '"';
}

std::string dataSet(std::size_t total, const std::string& rows) {
  return "{\"total\":" + std::to_string(total) + ",\"javaClass\":\"DataSet\",\"rows\":[" + rows + "]}";
}

std::string surnameOf(const std::string& name) {
  for (const char* compound : {"欧阳", "司马"})
    if (name.rfind(compound, 0) == 0) return compound;
  return name.substr(0, 3);  // one CJK character in UTF-8
}

const Student* studentById(const SchoolData& school, const std::string& id, std::size_t& index) {
  for (index = 0; index < school.students.size(); ++index)
    if (!id.empty() && school.students[index].xsJbxxId == id) return &school.students[index];
  return nullptr;
}

}  // namespace

StudentDetails studentDetails(const Student& s, std::size_t index) {
  StudentDetails d;
  for (const char c : s.csrq)
    if (c != '-') d.birthDate += c;
  d.residenceArea = s.hkszdm + "000000";
  d.residenceType = index % 3 == 1 ? "2" : "1";
  d.guardianName = surnameOf(s.xm) + kGuardianGiven[index % 8];
  d.otherMemberName = std::string(kMotherSurnames[index % 8]) + kGuardianGiven[(index + 3) % 8];
  return d;
}

std::string detailKey(std::string_view body, std::string_view name) {
  return quotedValueAfter(body, "\"" + std::string(name) + "\":\"");
}

std::string studentDetailAnswer(const SchoolData& school, const std::string& studentId, int noClassAt) {
  std::size_t index = 0;
  const Student* s = studentById(school, studentId, index);
  if (!s) return dataSet(0, {});
  const StudentDetails d = studentDetails(*s, index);
  std::string row = "{\"javaClass\":\"HashMap\"";
  addString(row, ",\"xsJbxxId\":", s->xsJbxxId);
  addString(row, ",\"xm\":", s->xm);
  addString(row, ",\"xbm\":", s->xbm);
  addString(row, ",\"csrq\":", d.birthDate);
  addString(row, ",\"mzm\":", s->mzm);
  addString(row, ",\"sfzjlxm\":", s->sfzjlxm);
  addString(row, ",\"sfzjh\":", s->sfzjh);
  addString(row, ",\"hkszdm\":", d.residenceArea);
  addString(row, ",\"hkxzm\":", d.residenceType);
  addString(row, ",\"jtzz\":", s->jtzz);
  addString(row, ",\"xxJbxxId\":", school.xxJbxxId);
  addString(row, ",\"xxBjxxId\":", static_cast<int>(index) == noClassAt ? std::string() : s->xxBjxxId);
  addString(row, ",\"njmc\":", s->njmc);
  return dataSet(1, row + "}");
}

std::string familyAnswer(const SchoolData& school, const std::string& studentId) {
  std::size_t index = 0;
  const Student* s = studentById(school, studentId, index);
  if (!s) return dataSet(0, {});
  const StudentDetails d = studentDetails(*s, index);
  std::string rows;
  const struct {
    const char* relation;
    std::string name;
    const char* guardian;
  } members[] = {{"51", d.guardianName, "1"}, {"52", d.otherMemberName, "0"}};
  for (const auto& m : members) {
    if (!rows.empty()) rows += ',';
    rows += "{\"javaClass\":\"HashMap\"";
    addString(rows, ",\"xsJbxxId\":", s->xsJbxxId);
    addString(rows, ",\"gxm\":", m.relation);
    addString(rows, ",\"cyxm\":", m.name);
    addString(rows, ",\"xzz\":", s->jtzz);
    addString(rows, ",\"sfjhr\":", m.guardian);
    rows += "}";
  }
  return dataSet(2, rows);
}

std::string classAnswer(const SchoolData& school, const std::string& classId) {
  for (const Student& s : school.students) {
    if (classId.empty() || s.xxBjxxId != classId) continue;
    std::string row = "{\"javaClass\":\"HashMap\"";
    addString(row, ",\"xxBjxxId\":", s.xxBjxxId);
    addString(row, ",\"bjmc\":", s.bjmc);
    row += ",\"state\":\"1\"";
    addString(row, ",\"njmc\":", s.njmc);
    addString(row, ",\"xxJbxxId\":", school.xxJbxxId);
    return dataSet(1, row + "}");
  }
  return dataSet(0, {});
}

}  // namespace qm::sim
