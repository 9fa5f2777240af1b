#pragma once
// Writes the prepared parts of a workbook into its (empty) file in one go.
// A fresh file's page cache costs a page fault per 4 kB on a virtual
// machine, so the bytes go to the disk directly (O_DIRECT, through an
// aligned staging buffer) where the file system allows, and through the
// page cache otherwise.
#include <sys/uio.h>
#include <vector>

namespace qm::xls {

// Throws std::runtime_error when a write fails.
void writeParts(int fd, const std::vector<iovec>& parts);

}  // namespace qm::xls
