// What a catch-all block records: the exception's text under its category,
// and whether it is a programming error that no user message may hide.
#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/log_categories.h"

namespace qm {
namespace {

std::vector<std::string> g_messages;

void collect(QtMsgType, const QMessageLogContext& context, const QString& text) {
  g_messages.push_back(std::string(context.category ? context.category : "") + "|" + text.toStdString());
}

TEST(LogCategories, CatchAllRecordsTheTextAndTellsProgrammingErrors) {
  struct Case {
    std::function<void()> raise;
    std::string text;
    bool programmingError;
  } cases[] = {
      {[] { throw std::runtime_error("connection reset"); }, "connection reset", false},
      {[] { throw std::logic_error("two requests at once"); }, "two requests at once", true},
      {[] { throw std::out_of_range("column 7"); }, "column 7", true},  // a logic_error too
      {[] { throw 42; }, "unknown exception", false},
  };
  const QtMessageHandler previous = qInstallMessageHandler(collect);
  for (const Case& c : cases) {
    g_messages.clear();
    try {
      c.raise();
    } catch (...) {
      EXPECT_EQ(logCaughtException(lcNet(), "keep-alive"), c.text);
      EXPECT_EQ(caughtProgrammingError(), c.programmingError) << c.text;
      EXPECT_EQ(caughtExceptionText(), c.text);
    }
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], "qm.net|keep-alive: " + c.text);
  }
  qInstallMessageHandler(previous);
}

TEST(LogCategories, WarningsCanBeTurnedOff) {
  const QtMessageHandler previous = qInstallMessageHandler(collect);
  QLoggingCategory::setFilterRules(QStringLiteral("qm.export.warning=false"));
  g_messages.clear();
  try {
    throw std::runtime_error("x");
  } catch (...) {
    logCaughtException(lcExport(), "pages");
    logCaughtException(lcNet(), "pages");
  }
  QLoggingCategory::setFilterRules(QString());
  qInstallMessageHandler(previous);
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0], "qm.net|pages: x");
}

TEST(LogCategories, InternalErrorText) {
  EXPECT_EQ(internalErrorText("HttpClient: request already out"), "程序内部错误，运行已停止：HttpClient: request already out");
}

}  // namespace
}  // namespace qm
