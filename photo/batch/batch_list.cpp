#include "photo/batch/batch_list.h"

#include "common/trim.h"
#include "photo/batch/batch_texts.h"
#include "workbook/workbook_source.h"

namespace qm::photo {

void openBatchList(WorkbookSource& list, const std::string& path) {
  try {
    list.close();
    list.open(path);
    list.openFixedTable();
  } catch (const std::exception&) {
    list.close();
    throw BatchListError(kBatchBadListMessage);
  }
}

std::vector<BatchStudent> readBatchList(WorkbookSource& list) {
  std::vector<BatchStudent> students;
  try {
    if (!list.sheetOpen()) throw BatchListError(kBatchMissingColumnsMessage);
    auto photo = list.FindField(kPhotoNumberColumn);
    auto id = list.FindField(kIdNumberColumn);
    if (!photo || !id) throw BatchListError(kBatchMissingColumnsMessage);
    students.reserve(static_cast<std::size_t>(std::max(list.RecordCount(), 0)));
    for (list.First(); !list.eof(); list.Next())
      students.push_back({trimLow(list.text(*photo)), trimLow(list.text(*id))});
  } catch (const BatchListError&) {
    throw;
  } catch (const std::exception&) {
    throw BatchListError(kBatchMissingColumnsMessage);
  }
  return students;
}

}  // namespace qm::photo
