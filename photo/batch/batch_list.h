#pragma once
// The list of a batch run: sheet "Sheet1" of a workbook, one student per
// record, the columns "照片号" and "身份证件号" read as trimmed text.
#include <stdexcept>
#include <string>
#include <vector>

namespace qm {
class WorkbookSource;
}

namespace qm::photo {

struct BatchStudent {
  std::string photoNumber;
  std::string idNumber;
};

// what() is the message the tools show (kBatchBadListMessage or kBatchMissingColumnsMessage).
class BatchListError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Opens the workbook at path and its table "[Sheet1$]". Throws BatchListError
// with kBatchBadListMessage.
void openBatchList(WorkbookSource& list, const std::string& path);

// Every record of the open sheet, from the first. Throws BatchListError with
// kBatchMissingColumnsMessage when a column is missing (names compared
// without regard to letter case) or the sheet cannot be read.
std::vector<BatchStudent> readBatchList(WorkbookSource& list);

}  // namespace qm::photo
