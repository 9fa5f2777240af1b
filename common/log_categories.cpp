#include "common/log_categories.h"

#include <exception>
#include <stdexcept>

namespace qm {

Q_LOGGING_CATEGORY(lcNet, "qm.net", QtInfoMsg)
Q_LOGGING_CATEGORY(lcExport, "qm.export", QtInfoMsg)
Q_LOGGING_CATEGORY(lcScrape, "qm.scrape", QtInfoMsg)
Q_LOGGING_CATEGORY(lcDuplicate, "qm.duplicate", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWorkbook, "qm.workbook", QtInfoMsg)
Q_LOGGING_CATEGORY(lcChecks, "qm.checks", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPhoto, "qm.photo", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUpdate, "qm.update", QtInfoMsg)
Q_LOGGING_CATEGORY(lcBrowser, "qm.browser", QtInfoMsg)

std::string caughtExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown exception";
  }
}

bool caughtProgrammingError() {
  try {
    throw;
  } catch (const std::logic_error&) {
    return true;
  } catch (...) {
    return false;
  }
}

std::string logCaughtException(const QLoggingCategory& category, std::string_view where) {
  std::string text = caughtExceptionText();
  if (category.isWarningEnabled())
    QMessageLogger(nullptr, 0, nullptr, category.categoryName()).warning("%.*s: %s", int(where.size()), where.data(),
                                                                          text.c_str());
  return text;
}

std::string internalErrorText(std::string_view what) {
  return "程序内部错误，运行已停止：" + std::string(what);
}

std::optional<Notice> caughtInternalError(const QLoggingCategory& category, std::string_view where) {
  const std::string what = logCaughtException(category, where);
  if (!caughtProgrammingError()) return std::nullopt;
  return Notice{internalErrorText(what), Notice{}.title, NoticeIcon::Error};
}

}  // namespace qm
