#pragma once
// The running program's full path, whose folder receives the update's files
// and the companion tools.
#include <string>
#include <string_view>

namespace qm {

// QCoreApplication::applicationFilePath() while an application object exists;
// else (or when Qt finds nothing, as for a replaced file) the link
// /proc/self/exe without the " (deleted)" the kernel appends to a file
// removed or replaced since the start.
std::string runningProgramPath();

// A /proc/self/exe link text without its " (deleted)" suffix.
std::string withoutDeletedMark(std::string_view linkText);

}  // namespace qm
