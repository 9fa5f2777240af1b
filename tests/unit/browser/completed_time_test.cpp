#include "browser/completed_time.h"

#include <gtest/gtest.h>

#include <QTimeZone>

namespace {

struct Case {
  const char* locale;
  const char* time;  // 12:34:56 in the locale's long time, seconds kept
};

class CompletedTimeTest : public ::testing::TestWithParam<Case> {};

TEST_P(CompletedTimeTest, ShortDateBlankLongTimeWithoutZone) {
  const QLocale locale(QString::fromLatin1(GetParam().locale));
  // A zone with a name Qt would print: UTC, and a fixed offset.
  for (const QTimeZone& zone : {QTimeZone::utc(), QTimeZone(8 * 3600)}) {
    const QDateTime at(QDate(2026, 3, 7), QTime(12, 34, 56), zone);
    const QString text = qm::completedAtText(at, locale);
    EXPECT_EQ(text, locale.toString(at.date(), QLocale::ShortFormat) + " " + QString::fromUtf8(GetParam().time))
        << text.toStdString();
    EXPECT_FALSE(text.contains("UTC")) << text.toStdString();
    EXPECT_FALSE(text.contains("+08")) << text.toStdString();
  }
}

const Case kCases[] = {
    {"C", "12:34:56"},
    {"en_US", "12:34:56 PM"},
    {"zh_CN", "12:34:56"},
    {"de_DE", "12:34:56"},
};

INSTANTIATE_TEST_SUITE_P(Locales, CompletedTimeTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.locale); });

TEST(CompletedTimeFormat, ZoneFieldsGoQuotedTextStays) {
  const std::pair<const char*, const char*> cases[] = {
      {"HH:mm:ss t", "HH:mm:ss"},
      {"t HH:mm:ss", "HH:mm:ss"},
      {"h:mm:ss AP tttt", "h:mm:ss AP"},
      {"HH:mm:ss", "HH:mm:ss"},
      {"HH'h'mm'tt' t", "HH'h'mm'tt'"},  // a quoted "t" is literal text
      {"HH:mm:ss (t)", "HH:mm:ss ()"},
  };
  for (const auto& [format, expected] : cases)
    EXPECT_EQ(qm::withoutZoneFields(QString::fromLatin1(format)), QString::fromLatin1(expected)) << format;
}

}  // namespace
