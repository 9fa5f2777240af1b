#pragma once
// Registrations in the province as the province-wide query finds them by ID number:
// every student of the school at the school (every fifth also at a second school),
// and people from outside the school registered at 0, 1 or 2 other schools.
#include <string>
#include <string_view>
#include <vector>

#include "sim/student_data.h"

namespace qm::sim {

struct Registration {
  std::string name;        // UTF-8
  std::string idNumber;
  std::string genderCode;  // "1"/"2"
  std::string birthDate;   // YYYY-MM-DD
  std::string schoolName;
  std::string gradeName;
};

// Someone who is not a student of the school; schools may be empty.
struct OutsidePerson {
  std::string name;
  std::string idNumber;
  std::vector<std::string> schools;
};

class ProvinceRegistry {
 public:
  // Same school, seed and count, same registry. Outside person k has k % 3 schools.
  ProvinceRegistry(const SchoolData& school, unsigned seed, int outsideCount);

  // Registrations of that ID number (ASCII letter case ignored), in answer order.
  std::vector<Registration> find(std::string_view idNumber) const;
  const std::vector<OutsidePerson>& outsidePeople() const { return outside_; }

 private:
  std::vector<Registration> registrations_;
  std::vector<OutsidePerson> outside_;
};

// Schools of the province other than the simulated one.
const std::vector<std::string>& otherSchoolNames();

}  // namespace qm::sim
