#include "sim/student_data.h"

#include <cstdint>
#include <cstdio>

#include "sim/id_number.h"
#include "sim/rng.h"

namespace qm::sim {
namespace {

struct Area {
  const char* code;
  const char* place;     // native place text
  const char* district;  // address prefix
};
const Area kAreas[] = {
    {"440106", "广东省广州市", "广州市天河区"}, {"440104", "广东省广州市", "广州市越秀区"},
    {"440111", "广东省广州市", "广州市白云区"}, {"440303", "广东省深圳市", "深圳市罗湖区"},
    {"445102", "广东省潮州市", "潮州市湘桥区"}, {"430102", "湖南省长沙市", "长沙市芙蓉区"},
};
const char* const kSurnames[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐",
                                 "孙", "马", "朱", "胡", "郭", "何", "林", "罗", "高", "欧阳", "司马"};
const char* const kGiven[] = {"子", "涵", "浩", "宇", "欣", "怡", "梓", "轩", "雨", "萱", "思", "睿",
                              "博", "文", "嘉", "一", "诺", "佳", "琪", "俊", "杰", "晨", "阳", "明",
                              "昊", "天", "雅", "婷", "悦", "鑫"};
// Characters GBK lacks: CJK extension A, and two beyond the BMP.
const char* const kRare[] = {"䶮", "𠀀", "𪚥"};
const char* const kStreets[] = {"天河路", "中山大道", "黄埔大道", "体育东路", "五山路", "解放北路", "五一路"};

const std::vector<GradeInfo> kGrades = {
    {"11", "小学一年级"}, {"12", "小学二年级"}, {"13", "小学三年级"}, {"14", "小学四年级"},
    {"15", "小学五年级"}, {"16", "小学六年级"}, {"21", "初中一年级"}, {"22", "初中二年级"},
    {"23", "初中三年级"}, {"24", "初中四年级"}, {"31", "高中一年级"}, {"32", "高中二年级"},
    {"33", "高中三年级"}};

// Years of schooling before the grade's year, for entry year and birth year.
int schoolYear(const std::string& code) {
  const int stage = code[0] - '0';
  const int year = code[1] - '0';
  return stage == 1 ? year : stage == 2 ? 6 + year : 9 + year;
}

std::string twoDigits(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n % 100);
  return buf;
}

std::string birthDate(Rng& rng, const std::string& gradeCode, std::string& ymd) {
  const int year = 2018 - schoolYear(gradeCode);
  const int month = 1 + rng.below(12);
  const int day = 1 + rng.below(28);
  ymd = std::to_string(year) + twoDigits(month) + twoDigits(day);
  return std::to_string(year) + "-" + twoDigits(month) + "-" + twoDigits(day);
}

// Sequence digits whose parity gives the gender; when wantX, one whose check character is X.
std::string idNumber(Rng& rng, const char* area, const std::string& ymd, bool male, bool wantX) {
  int seq = rng.below(500) * 2 + (male ? 1 : 0);
  if (wantX) {
    for (int tries = 0; tries < 500; ++tries, seq = (seq + 2) % 1000) {
      const std::string id = makeIdNumber(area, ymd, seq);
      if (id.back() == 'X') return id;
    }
  }
  return makeIdNumber(area, ymd, seq);
}

Student makeStudent(Rng& rng, const SchoolData& school, int index, int count) {
  Student s;
  const GradeInfo& grade = kGrades[static_cast<std::size_t>(index) * kGrades.size() / count];
  const Area& area = rng.pick(kAreas);
  const bool male = rng.below(2) == 0;
  const int classNo = 1 + index % 2;

  s.xsJbxxId = rng.hex(32);
  s.xm = rng.pick(kSurnames);
  s.xm += rng.pick(kGiven);
  if (index % 10 == 7) s.xm += kRare[(index / 10) % 3];
  else if (rng.below(3) != 0) s.xm += rng.pick(kGiven);
  s.jdfsm = rng.below(4) == 0 ? "2" : "1";
  s.sfcjm = index % 50 == 20 ? "1" : "0";
  s.jdztm = index % 33 == 8 ? "31" : "01";
  s.xxNjxxId = grade.code;
  s.njmc = grade.name;
  const int entryYear = 2024 - (grade.code[1] - '1');
  s.bjmc = std::to_string(entryYear) + "级" + std::to_string(classNo) + "班";
  // Class ids derive from the school id, so students of one class share one.
  s.xxBjxxId = school.xxJbxxId.substr(0, 26) + grade.code + "c" + std::to_string(classNo) + "00";
  s.bh = twoDigits(1 + index / 2 % 60);
  s.sffb = index % 19 == 12 ? "0" : "1";
  s.jtzz = std::string(area.district) + rng.pick(kStreets) + std::to_string(1 + rng.below(300)) + "号";
  s.txdz = index % 5 == 3 ? school.xxmc : s.jtzz;
  s.jg = area.place;
  s.mzm = index % 23 == 5 ? "81" : index % 31 == 9 ? "99" : index % 17 == 2 ? "03" : "01";
  s.sfzjlxm = index % 37 == 6 ? "Z" : index % 41 == 13 ? "6" : "1";
  s.lxdh = index % 9 == 4 ? "" : "13" + std::to_string(100000000 + rng.below(900000000));
  s.xjfh = "";
  std::string ymd;
  s.csrq = birthDate(rng, s.xxNjxxId, ymd);
  s.sfzjh = idNumber(rng, area.code, ymd, male, index % 7 == 3);
  s.sfzjhEscaped = index % 4 == 1;
  s.xbm = male ? "1" : "2";
  s.grbsm = "G" + s.sfzjh;
  s.hkszdm = area.code;
  return s;
}

}  // namespace

const std::vector<GradeInfo>& gradeTable() { return kGrades; }

SchoolData makeSchoolData(unsigned seed, int studentCount) {
  Rng rng(seed);
  SchoolData school;
  school.xxmc = "广州市清溪实验学校";
  school.xxJbxxId = rng.hex(32);
  school.xxbsm = "31440" + std::to_string(10000 + rng.below(90000));
  school.departmentCode = "440106000000";
  const int count = studentCount < 0 ? 0 : studentCount;
  school.students.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) school.students.push_back(makeStudent(rng, school, i, count));
  return school;
}

}  // namespace qm::sim
