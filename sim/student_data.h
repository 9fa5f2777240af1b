#pragma once
// The school that the substitute server serves: deterministic students from a seed.
#include <string>
#include <vector>

namespace qm::sim {

// One student. Members carry the query service's key names; texts are UTF-8.
struct Student {
  std::string xsJbxxId;  // student id, 32 hex
  std::string xm;        // name; a few hold characters outside GBK
  std::string jdfsm;     // attendance mode "1"/"2"
  std::string xxBjxxId;  // class id, 32 hex
  std::string sfcjm;     // disabled "0"/"1"
  std::string jdztm;     // attendance status, "01" or "31"
  std::string xxNjxxId;  // grade code "11".."33"
  std::string bh;        // number within the class
  std::string njmc;      // grade name, e.g. 小学一年级
  std::string sffb;      // placed in a class "0"/"1"
  std::string jtzz;      // home address
  std::string grbsm;     // "G" + ID number
  std::string bjmc;      // class name, e.g. 2019级1班
  std::string mzm;       // ethnicity code
  std::string xbm;       // gender "1"/"2", agrees with the ID number
  std::string jg;        // native place
  std::string txdz;      // mailing address
  std::string lxdh;      // phone; empty is sent as null
  std::string xjfh;      // auxiliary number; empty is sent as null
  std::string csrq;      // birth date YYYY-MM-DD, agrees with the ID number
  std::string sfzjh;     // ID number, 18 characters with a valid check character
  bool sfzjhEscaped = false;  // sent as \uXXXX escapes, character by character
  std::string sfzjlxm;   // ID document type "1", "6" or "Z"
  std::string hkszdm;    // household area code, 6 digits
};

struct SchoolData {
  std::string xxmc;            // school name
  std::string xxJbxxId;        // school id, 32 hex; the organisation code of school accounts
  std::string xxbsm;           // school code, 10 digits
  std::string departmentCode;  // 12 digits; the organisation code of department accounts
  std::vector<Student> students;  // in the order the query service pages through them
};

struct GradeInfo {
  const char* code;
  const char* name;
};
// The 13 grades, primary to senior secondary.
const std::vector<GradeInfo>& gradeTable();

// Same seed and count, same school, byte for byte.
SchoolData makeSchoolData(unsigned seed, int studentCount);

}  // namespace qm::sim
