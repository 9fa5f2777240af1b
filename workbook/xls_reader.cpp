// Excel 97-2003 (BIFF8) and Excel 95 (BIFF5) workbooks, read in this process
// by our own reader. The workbook globals (sheet list, shared strings,
// formats) are read at open; a sheet's cells when the sheet is chosen, so a
// damaged sheet fails as opening that sheet, not the workbook.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/big_buffer.h"
#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"
#include "workbook/xls/biff_stream.h"
#include "workbook/xls/compound_file_reader.h"
#include "workbook/xls/xls_cells.h"
#include "workbook/xls/xls_globals.h"

namespace qm {
namespace {

// Read, not mapped: another program may write the file meanwhile (the
// workbook is opened sharing it), and a mapping would fault when it shrinks.
BigBuffer readWholeFile(const std::string& path, std::size_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw WorkbookError("无法打开文件：" + path + "（" + std::strerror(errno) + "）");
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    throw WorkbookError("无法读取文件：" + path);
  }
  if (static_cast<std::uint64_t>(st.st_size) > kWorkbookBudget) {
    ::close(fd);
    throw WorkbookError(workbookTooLargeText());
  }
  BigBuffer bytes(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t got = 0;
  while (got < static_cast<std::size_t>(st.st_size)) {
    const ssize_t n = ::read(fd, bytes.data() + got, static_cast<std::size_t>(st.st_size) - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  size = got;
  return bytes;
}

class XlsReader final : public WorkbookReader {
 public:
  XlsReader(const std::string& path, std::string_view bytes) : path_(path) {
    {
      const xls::CompoundFile file(bytes, path_);
      std::optional<std::string> stream = file.stream("Workbook");
      if (!stream) stream = file.stream("Book");
      if (!stream) throw WorkbookError(damagedWorkbookText(path_, "文件中没有工作簿"));
      stream_ = std::move(*stream);
    }
    if (stream_.size() > kWorkbookBudget) throw WorkbookError(workbookTooLargeText());
    xls::BiffStream biff(stream_, path_);
    globals_ = xls::readGlobals(biff, text_, kWorkbookBudget - stream_.size());
    for (const auto& sheet : globals_.sheets) names_.push_back(sheet.name);
  }

  const std::vector<std::string>& sheetNames() const override { return names_; }

  std::shared_ptr<const CellTable> readSheet(std::size_t index) override {
    if (index >= names_.size()) throw WorkbookError(damagedWorkbookText(path_, "没有这个工作表"));
    const std::size_t held = stream_.size() + globals_.sst->bytesHeld();
    if (held >= kWorkbookBudget) throw WorkbookError(workbookTooLargeText());
    xls::BiffStream biff(stream_, path_);
    return std::make_shared<const CellTable>(
        xls::readCells(biff, globals_, text_, globals_.sheets[index], kWorkbookBudget - held));
  }

 private:
  std::string path_;
  std::string stream_;
  xls::TextDecoder text_;
  xls::Globals globals_;
  std::vector<std::string> names_;
};

}  // namespace

std::unique_ptr<WorkbookReader> openXlsReader(const std::string& path) {
  std::size_t size = 0;
  const BigBuffer bytes = readWholeFile(path, size);
  return std::make_unique<XlsReader>(path, std::string_view(bytes.data(), size));
}

// For the fuzz target and tests: a workbook from bytes in memory.
std::unique_ptr<WorkbookReader> openXlsReaderFromBytes(const std::string& path, std::string_view bytes) {
  return std::make_unique<XlsReader>(path, bytes);
}

}  // namespace qm
