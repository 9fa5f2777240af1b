#pragma once
// The three detail queries of the extended export: a student's details, the
// student's family members and a class, answered as DataSet texts in the server's
// key order, with \u escapes for everything outside ASCII.
#include <string>
#include <string_view>

#include "sim/student_data.h"

namespace qm::sim {

// What the detail queries add to a student, derived from the student alone.
struct StudentDetails {
  std::string birthDate;     // "csrq" as the details answer it: YYYYMMDD
  std::string residenceArea; // "hkszdm": 12 digits
  std::string residenceType; // "hkxzm": "1" agricultural, "2" non-agricultural; both occur from student 0 on
  std::string guardianName;  // first family member, "cyxm"
  std::string otherMemberName;
};

StudentDetails studentDetails(const Student& student, std::size_t index);

// Value of "XS_JBXX_ID@=" or "XX_BJXX_ID@=" in a request body.
std::string detailKey(std::string_view body, std::string_view name);

// Query 1, by student id: one row whose keys include "csrq", "hkszdm", "hkxzm" and "xxBjxxId".
// noClassAt: the student index whose class id is empty (in no class).
std::string studentDetailAnswer(const SchoolData& school, const std::string& studentId, int noClassAt = -1);
// Query 2, by student id: the guardian, then a second member; "cyxm" followed at once by ","xzz":".
std::string familyAnswer(const SchoolData& school, const std::string& studentId);
// Query 3, by class id: one row whose "bjmc" value is followed at once by ","state".
std::string classAnswer(const SchoolData& school, const std::string& classId);

}  // namespace qm::sim
