// A file link on the site saves the file where the user says, under the name
// the server gave, and a broken download leaves nothing behind.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

#include "browser/download_saver.h"
#include "browser/main_window.h"
#include "tests/support/main_window_fixture.h"
#include "sim/downloads.h"

namespace qm {
namespace {

using test::awaitTask;
using test::kLongWait;

class DownloadsTest : public test::MainWindowFixture {
 protected:
  void SetUp() override {
    startSim();
    buildForm();
    ASSERT_TRUE(test::loadAndWait(tabView(*form_, 0), url(sim::kDownloadsPagePath)));
  }
  // Clicks the page's link to that download kind.
  void clickLink(const char* kind) {
    awaitTask(tabDocument(*form_, 0).run(QStringLiteral("document.getElementById('%1').click(); true").arg(kind)));
  }
  QStringList folderEntries() const {
    return QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }
  bool panelSays(const QString& text) {
    return QTest::qWaitFor([&] { return form_->panelText(2) == text; }, kLongWait);
  }

};

TEST_F(DownloadsTest, SavesUnderTheServersNameWhereTheUserSays) {
  struct Case {
    const char* kind;
    QString offered;  // the name the save dialog starts with
  };
  const Case cases[] = {
      {"gbk", QStringLiteral("学生名单.xls")},     // raw GBK bytes in filename=
      {"rawutf8", QStringLiteral("成绩单.xls")},   // raw UTF-8 bytes in filename=
      {"utf8", QStringLiteral("学籍模板.pdf")},    // filename*= wins over filename=
      {"path", QStringLiteral("evil.xls")},        // no path, no control character
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    prompts_.log.clear();
    const QString target = QDir(folder()).filePath(c.offered);
    prompts_.fileNames = {target};
    clickLink(c.kind);
    ASSERT_TRUE(panelSays(QStringLiteral("文件下载完成！"))) << form_->panelText(2).toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompts_.log.size() == 2; }, kLongWait));
    EXPECT_EQ(prompts_.log[0].kind, RecordedPrompt::SaveFile);
    EXPECT_EQ(QFileInfo(prompts_.log[0].value).fileName(), c.offered);
    EXPECT_EQ(prompts_.log[1].kind, RecordedPrompt::Message);
    EXPECT_EQ(prompts_.log[1].text, QStringLiteral("文件已保存：\n") + target);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), sim::downloadBody(c.kind));
    // Only the file itself: no temporary or partial names stay.
    EXPECT_EQ(folderEntries(), QStringList{c.offered});
    ASSERT_TRUE(QFile::remove(target));
    form_->setPanelText(2, QString());
  }
}

TEST_F(DownloadsTest, ABrokenDownloadLeavesNothingAndKeepsTheOldFile) {
  const QString target = QDir(folder()).filePath(QStringLiteral("broken.xls"));
  {
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents");
  }
  prompts_.fileNames = {target};
  prompts_.answers = {true};  // replace it
  clickLink("drop");
  ASSERT_TRUE(panelSays(QStringLiteral("文件下载失败！"))) << form_->panelText(2).toStdString();
  ASSERT_TRUE(QTest::qWaitFor([&] { return prompts_.log.size() == 3; }, kLongWait));
  EXPECT_EQ(prompts_.log[1].kind, RecordedPrompt::Question);
  EXPECT_EQ(prompts_.log[1].text, QStringLiteral("broken.xls 已存在。\n要替换它吗？"));
  EXPECT_EQ(prompts_.log[2].kind, RecordedPrompt::Message);
  EXPECT_TRUE(prompts_.log[2].text.startsWith(QStringLiteral("文件下载失败：\n") + target))
      << prompts_.log[2].text.toStdString();
  EXPECT_EQ(folderEntries(), QStringList{"broken.xls"});
  QFile file(target);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), "old contents");
}

TEST_F(DownloadsTest, CancelledSaveDialogDownloadsNothing) {
  // An empty queue cancels the dialog.
  clickLink("gbk");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts_.log.empty(); }, kLongWait));
  QTest::qWait(1000);  // a second dialog or a download would have come by now
  ASSERT_EQ(prompts_.log.size(), 1u);
  EXPECT_EQ(prompts_.log[0].kind, RecordedPrompt::SaveFile);
  EXPECT_TRUE(folderEntries().isEmpty());
  EXPECT_EQ(form_->panelText(2), QString());
}

}  // namespace
}  // namespace qm
