#include "workbook/workbook_reader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "workbook/workbook_source.h"

namespace qm {
namespace {

enum class Format { Compound, Zip, Other };

// Opens the file as the reader will, so a missing or unreadable file gets its
// own message instead of a library's "cannot read".
Format sniff(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT || err == ENOTDIR) throw WorkbookError("找不到文件：" + path);
    if (err == EACCES || err == EPERM) throw WorkbookError("没有读取权限，无法打开文件：" + path);
    throw WorkbookError("无法打开文件：" + path + "（" + std::strerror(err) + "）");
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw WorkbookError("不是一个文件：" + path);
  }
  unsigned char head[8] = {};
  ssize_t got = 0;
  while (got < static_cast<ssize_t>(sizeof head)) {
    const ssize_t n = ::read(fd, head + got, sizeof head - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      throw WorkbookError("无法读取文件：" + path + "（" + std::strerror(err) + "）");
    }
    if (n == 0) break;
    got += n;
  }
  ::close(fd);
  static const unsigned char kCompound[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (got == 8 && std::memcmp(head, kCompound, 8) == 0) return Format::Compound;
  if (got >= 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4) return Format::Zip;
  return Format::Other;
}

}  // namespace

std::string damagedWorkbookText(std::string_view path, std::string_view detail) {
  return "Excel文件已损坏或不完整：" + std::string(path) + "（" + std::string(detail) + "）";
}

std::string workbookTooLargeText() { return "工作簿的数据超过256 MB，无法读取。"; }

std::string notWorkbookText(std::string_view path) {
  return "不是Excel工作簿（.xls或.xlsx）：" + std::string(path);
}

std::unique_ptr<WorkbookReader> openWorkbookReader(const std::string& path) {
  switch (sniff(path)) {
    case Format::Compound:
      return openXlsReader(path);
    case Format::Zip:
      return openXlsxReader(path);
    case Format::Other:
      break;
  }
  throw WorkbookError(notWorkbookText(path));
}

}  // namespace qm
