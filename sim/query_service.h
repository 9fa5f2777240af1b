#pragma once
// The in-school query service: reads the client's JSON body with plain searches
// and answers one page of student records in the server's key order.
#include <string>
#include <string_view>

#include "sim/student_data.h"

namespace qm::sim {

struct QueryRequest {
  std::string organCode;
  std::string gradeCode;  // empty: all grades
  std::string type;       // "01" department accounts, "04" school accounts
  long long start = 0;
  long long limit = 50;
};

QueryRequest parseQueryBody(std::string_view body);

// One record: the 30 keys in the server's order, no blanks, closed by "}".
// rownum is the 1-based position in the query result; withoutPhone leaves out ,"lxdh":<value>.
std::string studentRecordJson(const SchoolData& school, const Student& student, long long rownum,
                              bool withoutPhone);

// The account a query must match.
struct QueryAccount {
  std::string organCode;
  std::string type;
  int missingKeyAt = -1;  // index into school.students whose record lacks lxdh
};

// {"result":{"javaClass":...,"list":[records]},"total":N}; an empty list when the query
// does not match the account or its page lies beyond the end.
std::string queryAnswer(const SchoolData& school, const QueryRequest& query, const QueryAccount& account);

std::string invalidTokenAnswer();

}  // namespace qm::sim
