#include "sim/query_service.h"

#include <charconv>
#include <vector>

#include "sim/json_text.h"

namespace qm::sim {
namespace {

long long numberAfter(std::string_view body, std::string_view key, long long fallback) {
  const auto p = body.find(key);
  if (p == std::string_view::npos) return fallback;
  auto start = p + key.size();
  while (start < body.size() && body[start] == ' ') ++start;
  long long value = fallback;
  const auto [ptr, ec] = std::from_chars(body.data() + start, body.data() + body.size(), value);
  (void)ptr;
  return ec == std::errc() ? value : fallback;
}

void addString(std::string& out, const char* key, const std::string& value) {
  out += key;
  out += '"';
  out += jsonEscaped(value);
  out += '"';
}

void addNullable(std::string& out, const char* key, const std::string& value) {
  if (value.empty()) {
    out += key;
    out += "null";
  } else {
    addString(out, key, value);
  }
}

const char kResultHead[] = "{\"result\":{\"javaClass\":\"com.inspur.mems.xsxxgl.data.ZxxsXsJbxxPage\",\"list\":[";

}  // namespace

QueryRequest parseQueryBody(std::string_view body) {
  QueryRequest q;
  q.organCode = quotedValueAfter(body, "\"organCode\":\"");
  q.gradeCode = quotedValueAfter(body, "\"xxNjxxId\":\"");
  q.type = quotedValueAfter(body, "\"type\":\"");
  q.start = numberAfter(body, "\"start\":", 0);
  q.limit = numberAfter(body, "\"limit\":", 50);
  return q;
}

std::string studentRecordJson(const SchoolData& school, const Student& s, long long rownum, bool withoutPhone) {
  std::string out = "{";
  addString(out, "\"xxbsm\":", school.xxbsm);
  addString(out, ",\"xm\":", s.xm);
  addString(out, ",\"xsJbxxId\":", s.xsJbxxId);
  addString(out, ",\"jdfsm\":", s.jdfsm);
  out += ",\"state\":1";
  addString(out, ",\"xxBjxxId\":", s.xxBjxxId);
  addString(out, ",\"sfcjm\":", s.sfcjm);
  out += ",\"rownum\":" + std::to_string(rownum);
  addString(out, ",\"jdztm\":", s.jdztm);
  addString(out, ",\"xxNjxxId\":", s.xxNjxxId);
  addString(out, ",\"bh\":", s.bh);
  addString(out, ",\"xxmc\":", school.xxmc);
  addString(out, ",\"njmc\":", s.njmc);
  addString(out, ",\"sffb\":", s.sffb);
  addString(out, ",\"jtzz\":", s.jtzz);
  addString(out, ",\"grbsm\":", s.grbsm);
  addString(out, ",\"bjmc\":", s.bjmc);
  addString(out, ",\"mzm\":", s.mzm);
  addString(out, ",\"xbm\":", s.xbm);
  addString(out, ",\"jg\":", s.jg);
  addString(out, ",\"txdz\":", s.txdz);
  if (!withoutPhone) addNullable(out, ",\"lxdh\":", s.lxdh);
  addNullable(out, ",\"xjfh\":", s.xjfh);
  addString(out, ",\"javaClass\":", "HashMap");
  addString(out, ",\"csrq\":", s.csrq);
  out += ",\"xqh\":null";
  if (s.sfzjhEscaped) {
    out += ",\"sfzjh\":\"" + jsonAllEscaped(s.sfzjh) + "\"";
  } else {
    addString(out, ",\"sfzjh\":", s.sfzjh);
  }
  addString(out, ",\"xxJbxxId\":", school.xxJbxxId);
  addString(out, ",\"sfzjlxm\":", s.sfzjlxm);
  addString(out, ",\"hkszdm\":", s.hkszdm);
  out += "}";
  return out;
}

std::string queryAnswer(const SchoolData& school, const QueryRequest& query, const QueryAccount& account) {
  // Without a grade every student matches, so pages index the list directly.
  const bool ours = query.organCode == account.organCode && query.type == account.type;
  const bool allGrades = query.gradeCode.empty();
  std::vector<std::size_t> matching;
  if (ours && !allGrades) {
    for (std::size_t i = 0; i < school.students.size(); ++i)
      if (school.students[i].xxNjxxId == query.gradeCode) matching.push_back(i);
  }
  std::string out = kResultHead;
  const long long start = query.start < 0 ? 0 : query.start;
  const long long total = !ours ? 0 : allGrades ? static_cast<long long>(school.students.size())
                                                : static_cast<long long>(matching.size());
  for (long long k = start; query.limit > 0 && k < total && k - start < query.limit; ++k) {
    const std::size_t index = allGrades ? static_cast<std::size_t>(k) : matching[static_cast<std::size_t>(k)];
    if (k > start) out += ',';
    out += studentRecordJson(school, school.students[index], k + 1,
                             static_cast<long long>(index) == account.missingKeyAt);
  }
  out += "]},\"total\":" + std::to_string(total) + "}";
  return out;
}

std::string invalidTokenAnswer() { return "{\"error\":\"invalid token\"}"; }

}  // namespace qm::sim
