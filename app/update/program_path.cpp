#include "app/update/program_path.h"

#include <QCoreApplication>

#include <unistd.h>

namespace qm {

std::string withoutDeletedMark(std::string_view linkText) {
  constexpr std::string_view kDeleted = " (deleted)";
  if (linkText.size() > kDeleted.size() && linkText.substr(linkText.size() - kDeleted.size()) == kDeleted)
    linkText.remove_suffix(kDeleted.size());
  return std::string(linkText);
}

std::string runningProgramPath() {
  if (QCoreApplication::instance()) {
    const QString path = QCoreApplication::applicationFilePath();
    if (!path.isEmpty()) return path.toStdString();
  }
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  return withoutDeletedMark(std::string_view(buf, static_cast<std::size_t>(n)));
}

}  // namespace qm
