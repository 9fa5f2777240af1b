#include "sim/province_registry.h"

#include <cstdio>

#include "sim/id_number.h"
#include "sim/rng.h"

namespace qm::sim {
namespace {

const char* const kSurnames[] = {"郑", "谢", "韩", "唐", "冯", "于", "董", "萧", "程", "曹"};
const char* const kGiven[] = {"志", "远", "静", "宁", "紫", "涵", "泽", "宇", "子", "墨", "若", "溪"};
const char* const kAreas[] = {"440106", "440304", "441302", "445102"};

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameId(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

std::string twoDigits(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n % 100);
  return buf;
}

}  // namespace

const std::vector<std::string>& otherSchoolNames() {
  static const std::vector<std::string> names = {"广州市天河区龙口西小学", "深圳市南山区蛇口育才学校",
                                                 "惠州市惠城区江北实验学校", "潮州市湘桥区城南小学",
                                                 "广州市越秀区东风西路小学"};
  return names;
}

ProvinceRegistry::ProvinceRegistry(const SchoolData& school, unsigned seed, int outsideCount) {
  const auto& others = otherSchoolNames();
  for (std::size_t i = 0; i < school.students.size(); ++i) {
    const Student& s = school.students[i];
    Registration r{s.xm, s.sfzjh, s.xbm, s.csrq, school.xxmc, s.njmc};
    registrations_.push_back(r);
    if (i % 5 == 2) {
      r.schoolName = others[i / 5 % others.size()];
      registrations_.push_back(r);
    }
  }
  // A stream of its own, so the school's data stays as it was.
  Rng rng(0x5EED0000ull + seed);
  for (int k = 0; k < outsideCount; ++k) {
    const bool male = rng.below(2) == 0;
    const int year = 2008 + rng.below(10), month = 1 + rng.below(12), day = 1 + rng.below(28);
    OutsidePerson p;
    p.name = std::string(rng.pick(kSurnames)) + rng.pick(kGiven) + rng.pick(kGiven);
    const std::string area = rng.pick(kAreas), ymd = std::to_string(year) + twoDigits(month) + twoDigits(day);
    int sequence = rng.below(500) * 2 + (male ? 1 : 0);
    p.idNumber = makeIdNumber(area, ymd, sequence);
    // Never someone else's number, so each person has exactly the schools listed.
    for (int tries = 0; tries < 500 && !find(p.idNumber).empty(); ++tries)
      p.idNumber = makeIdNumber(area, ymd, sequence = (sequence + 2) % 1000);
    for (int n = 0; n < k % 3; ++n) {
      p.schools.push_back(others[static_cast<std::size_t>(k + n) % others.size()]);
      registrations_.push_back({p.name, p.idNumber, male ? "1" : "2",
                                std::to_string(year) + "-" + twoDigits(month) + "-" + twoDigits(day),
                                p.schools.back(), "小学三年级"});
    }
    outside_.push_back(std::move(p));
  }
}

std::vector<Registration> ProvinceRegistry::find(std::string_view idNumber) const {
  std::vector<Registration> found;
  if (idNumber.empty()) return found;
  for (const auto& r : registrations_)
    if (sameId(r.idNumber, idNumber)) found.push_back(r);
  return found;
}

}  // namespace qm::sim
