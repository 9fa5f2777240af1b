#pragma once
// "quillmere-batch compare": the comparison of a workbook to check with a base.
#include <iosfwd>
#include <string>
#include <vector>

namespace qm::cli {

// args are the words after "compare". Lines go to out (UTF-8), the end
// message and failures to err. Returns 0 when the run ended, otherwise 2.
int runCompareCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qm::cli
