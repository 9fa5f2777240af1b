#pragma once
// Whether an existing file may be replaced by a new one written beside it.
#include <string>

namespace qm {

// True when path is a regular file that is not marked read-only and a new
// file can be created in its folder (checked by creating and removing one,
// since root passes every permission bit). Plain C++.
bool canReplaceFile(const std::string& path);

}  // namespace qm
