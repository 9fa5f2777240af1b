#pragma once
// Query answers built from parts, so a test can drop, repeat, reorder or
// replace keys of an otherwise realistic record.
#include <string>
#include <utility>
#include <vector>

#include "server/protocol/student_record.h"

namespace qm::testing {

// A record as (marker, raw value) pairs; the closing "}" is added when rendered.
using RecordParts = std::vector<std::pair<std::string, std::string>>;

inline RecordParts realisticRecord() {
  static const char* const kValues[30] = {  // in the order of kStudentMarkers
      R"("1144010600")",
      R"("\u5f20\ud842\udfb7")",
      R"("8a80a1b2c3d4e5f60718293a4b5c6d7e")",
      R"("2")",
      "1",
      R"("0f1e2d3c4b5a69788796a5b4c3d2e1f0")",
      R"("0")",
      "1",
      R"("01")",
      R"("21")",
      "null",
      R"("\u5e7f\u5dde\u5e02\u7b2c\u4e00\u4e2d\u5b66")",
      R"("\u521d\u4e2d\u4e00\u5e74\u7ea7")",
      R"("1")",
      R"("\u5e7f\u5dde\u5e02\u5929\u6cb3\u533a1\u53f7")",
      R"("G440106201001011234")",
      R"("2019\u7ea71\u73ed")",
      R"("01")",
      R"("1")",
      R"("\u5e7f\u4e1c\u5e7f\u5dde")",
      R"("\u5e7f\u5dde\u5e02\u90ae\u653f\u4fe1\u7bb188\u53f7")",
      R"("13800138000")",
      "null",
      R"("HashMap")",
      R"("2010-01-01")",
      "null",
      R"("\u0034\u0034\u0030\u0031\u0030\u0036\u0032\u0030\u0031)"
      R"(\u0030\u0030\u0031\u0030\u0031\u0031\u0032\u0033\u0058")",
      R"("ffeeddccbbaa99887766554433221100")",
      R"("1")",
      R"("440106")",
  };
  RecordParts parts;
  for (std::size_t i = 0; i < 30; ++i) parts.emplace_back(std::string(kStudentMarkers[i]), kValues[i]);
  return parts;
}

inline std::string Render(const RecordParts& parts) {
  std::string out = "{";
  for (const auto& [marker, value] : parts) out += marker + value;
  return out + "}";
}

inline std::string Page(const std::vector<std::string>& records) {
  std::string out = R"({"result":{"javaClass":"com.inspur.mems.xsxxgl.data.ZxxsXsJbxxPage","list":[)";
  for (std::size_t i = 0; i < records.size(); ++i) out += (i ? "," : "") + records[i];
  return out + R"(]},"total":)" + std::to_string(records.size()) + "}";
}

}  // namespace qm::testing
