#pragma once
// The program's logging categories, all named "qm.<part>", and what a
// catch-all block records. Warnings show by default; QT_LOGGING_RULES turns
// on the rest ("qm.*.debug=true").
#include <QLoggingCategory>
#include <optional>
#include <string>
#include <string_view>

#include "common/notice.h"

namespace qm {

Q_DECLARE_LOGGING_CATEGORY(lcNet)
Q_DECLARE_LOGGING_CATEGORY(lcExport)
Q_DECLARE_LOGGING_CATEGORY(lcScrape)
Q_DECLARE_LOGGING_CATEGORY(lcDuplicate)
Q_DECLARE_LOGGING_CATEGORY(lcWorkbook)
Q_DECLARE_LOGGING_CATEGORY(lcChecks)
Q_DECLARE_LOGGING_CATEGORY(lcPhoto)
Q_DECLARE_LOGGING_CATEGORY(lcUpdate)
Q_DECLARE_LOGGING_CATEGORY(lcBrowser)

// Only inside a catch block: the exception in flight, as text.
std::string caughtExceptionText();
// Only inside a catch block: true when the exception in flight is a
// programming error (std::logic_error), which no user message may hide.
bool caughtProgrammingError();
// Only inside a catch block: writes `where` and the exception's text to
// `category` as a warning, and returns the text.
std::string logCaughtException(const QLoggingCategory& category, std::string_view where);

// The message for a programming error at the top of a run.
std::string internalErrorText(std::string_view what);

// Only inside a catch block of a run: logs the exception as
// logCaughtException does and, for a programming error, returns the box that
// shows it as an internal error; nullopt leaves the run's own message.
std::optional<Notice> caughtInternalError(const QLoggingCategory& category, std::string_view where);

}  // namespace qm
