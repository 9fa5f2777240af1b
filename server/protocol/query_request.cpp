#include "server/protocol/query_request.h"

namespace qm {

std::string buildQueryBody(const std::string& organCode, const std::string& gradeCode, const std::string& userType,
                           int start, int limit) {
  std::string body = R"({"params":{"javaClass":"org.loushang.next.data.ParameterSet","map":{"organCode":")";
  body += organCode;
  body += '"';
  if (gradeCode != "**") {
    body += R"(,"xxNjxxId":")";
    body += gradeCode;
    body += '"';
  }
  body += userType == "1" ? R"(,"type":"01")" : R"(,"type":"04")";
  body += R"(,"cxlx":"zxs","start":)";
  body += std::to_string(start);
  body += R"(,"limit":)";
  body += std::to_string(limit);
  // The server expects "length":37 whatever the number of map entries.
  body += R"(,"defaultSort":{"javaClass":"ArrayList","list":[]}},"length":37},)"
          R"("context":{"javaClass":"HashMap","map":{},"length":0}})";
  return body;
}

}  // namespace qm
