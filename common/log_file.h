#pragma once
// Saving a result log (record checker, comparison, duplicate check): GB18030 text (GBK for every GBK character),
// every line ended by CR LF, written atomically.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The file's bytes. A line break inside a line (a cell holding one) becomes
// CR LF too, so the saved file has the lines the log shows.
std::string logFileBytes(const std::vector<std::string>& lines);

// Writes the lines to path; false with *error set when that fails, the old
// file (if any) left untouched.
bool saveLogLines(const std::string& path, const std::vector<std::string>& lines, std::string* error = nullptr);

}  // namespace qm
