#pragma once
// "quillmere-batch check": the record checker over one sheet.
#include <iosfwd>
#include <string>
#include <vector>

namespace qm::cli {

// args are the words after "check". Lines go to out (UTF-8), the end message
// and failures to err. Returns 0 (no errors found), 1 (errors found) or 2.
int runCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qm::cli
