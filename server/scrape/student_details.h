#pragma once
// The extended details export's three queries per student: paths, bodies,
// Referers, the client's headers, and the cuts that turn the answers into the
// five fetched columns. An answer that lacks a key gives an empty cell.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

class HttpClient;

inline constexpr std::string_view kStudentDetailPath = "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJbxxQueryCmd";
inline constexpr std::string_view kFamilyPath = "/command/ajax/com.inspur.mems.xsxxgl.cmd.ZxxsXsJtcyQueryCmd/queryZs";
inline constexpr std::string_view kClassPath = "/command/ajax/com.inspur.mems.xxxxgl.cmd.ZxxsXxBjxxQueryCmd";
inline constexpr std::string_view kDetailsListPath = "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp";

// Bodies of queries 1 and 2 (by record identifier) and 3 (by class identifier).
std::string studentQueryBody(std::string_view recordId);
std::string classQueryBody(std::string_view classId);
// Referer of queries 1 and 2: the student's detail page, the identifier and
// school name in GBK bytes (UTF-8 in, line breaks dropped).
std::string studentDetailReferer(std::string_view serverHost, std::string_view recordId, std::string_view school);

// Clears the client's extra lines and sets what the three queries carry:
// the cookie line, "x-requested-with: XMLHttpRequest" and the fixed values.
void setStudentDetailHeaders(HttpClient& client, const std::string& cookieText);

// What query 1 gives: columns 10 to 12 and the class identifier for query 3.
struct StudentDetailCuts {
  std::string birthDate;      // "csrq": 8 characters
  std::string residencePlace; // "hkszdm": 12 characters
  std::string residenceType;  // "农业户口" for "hkxzm" 1, else "非农业户口"
  std::string classId;        // "xxBjxxId": 32 characters, cut at a quote; empty: no class query
};
StudentDetailCuts cutStudentDetail(std::string_view answer);
// Query 2: the first family member's name, \u escapes decoded.
std::string cutGuardianName(std::string_view answer);
// Query 3: the class name, \u escapes decoded.
std::string cutClassName(std::string_view answer);

// Columns 10 to 14 of one student: the three queries in order on the client
// (blocking; throws HttpError), each with its Referer; no class query for a
// student without a class identifier (the class cell stays empty).
std::vector<std::string> fetchStudentDetails(HttpClient& client, const std::string& serverHost,
                                             const std::string& recordId, const std::string& school);

}  // namespace qm
