#include "browser/download_name.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

// How a raw Content-Disposition name reaches us: each byte as one Latin-1 character.
QString asLatin1(const QByteArray& bytes) { return QString::fromLatin1(bytes); }

TEST(DownloadNameTest, RawNamesAreReadAsUtf8ElseGbk) {
  struct Case {
    QString suggested, repaired;
  };
  const Case cases[] = {
      {asLatin1("\xd1\xa7\xc9\xfa\xc3\xfb\xb5\xa5.xls"), QStringLiteral("学生名单.xls")},  // GBK
      {asLatin1("\xe6\x88\x90\xe7\xbb\xa9\xe5\x8d\x95.xls"), QStringLiteral("成绩单.xls")},  // UTF-8
      {QStringLiteral("学籍模板.pdf"), QStringLiteral("学籍模板.pdf")},  // already decoded (filename*=)
      {QStringLiteral("report.xls"), QStringLiteral("report.xls")},
      {QStringLiteral("caf\u00e9\u4e2d.txt"), QStringLiteral("caf\u00e9\u4e2d.txt")},  // beyond U+00FF: kept
      {QString(), QString()},
  };
  for (const Case& c : cases) EXPECT_EQ(repairedDownloadName(c.suggested), c.repaired) << c.suggested.toStdString();
}

TEST(DownloadNameTest, PathsAndControlCharactersAreCleanedOut) {
  struct Case {
    QString name, cleaned;
  };
  const Case cases[] = {
      {QStringLiteral("../../etc/passwd"), QStringLiteral("passwd")},
      {QStringLiteral("..\\..\\\x01" "evil.xls"), QStringLiteral("evil.xls")},
      {QStringLiteral("a\tb\nc.xls"), QStringLiteral("abc.xls")},
      {QStringLiteral("名单<1>:\"?*|.xls"), QStringLiteral("名单_1______.xls")},
      {QStringLiteral(" .hidden. "), QStringLiteral("hidden")},
      {QStringLiteral(".."), QString()},
      {QStringLiteral("dir/"), QString()},
  };
  for (const Case& c : cases) EXPECT_EQ(cleanedFileName(c.name), c.cleaned) << c.name.toStdString();
}

TEST(DownloadNameTest, FallsBackToTheAddressThenToAFixedName) {
  const QUrl url(QStringLiteral("http://127.0.0.1/files/%E6%A8%A1%E6%9D%BF.xls?id=3"));
  EXPECT_EQ(defaultDownloadName(QStringLiteral("名单.xls"), url), QStringLiteral("名单.xls"));
  EXPECT_EQ(defaultDownloadName(QString(), url), QStringLiteral("模板.xls"));
  EXPECT_EQ(defaultDownloadName(QStringLiteral("/"), url), QStringLiteral("模板.xls"));
  EXPECT_EQ(defaultDownloadName(QString(), QUrl(QStringLiteral("http://127.0.0.1/"))), QStringLiteral("download"));
}

}  // namespace
}  // namespace qm
