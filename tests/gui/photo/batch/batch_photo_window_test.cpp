// TForm9 through its buttons: the same log and files as the command line on
// the same photos and list, the stop, the start rule and the three errors.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>

#include "cli/photo_commands.h"
#include "common/ui/scripted_prompts.h"
#include "photo/batch/batch_photo_window.h"
#include "tests/unit/photo/batch/batch_fixture.h"

namespace qm {
namespace {

using namespace photo::test;

QString q(const fs::path& p) { return QString::fromStdString(p.string()); }

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct BatchWindow : ::testing::Test {
  BatchFolders folders{"window"};
  fs::path list = folders.root / "list.xls";
  struct Prompts : ScriptedPrompts {
    std::function<void()> onMessage;  // runs while the box would be up
    void message(const QString& text, const QString& title, PromptIcon icon) override {
      if (onMessage) onMessage();
      ScriptedPrompts::message(text, title, icon);
    }
  } prompts;
  TForm9 form{prompts};

  // Eleven students: photos of several shapes, one missing, one that is no
  // picture, a duplicate ID, an upper-case ".JPG", blanks around a cell.
  void makeStudents() {
    std::vector<std::vector<Cell>> rows{{std::string("照片号"), std::string("身份证件号")}};
    const int sizes[][2] = {{640, 480}, {400, 400}, {300, 600}, {77, 100}, {308, 378}, {1200, 900}};
    for (int i = 0; i < 6; ++i) {
      writeFile(folders.source / ("p" + std::to_string(i) + ".jpg"), cameraJpeg(i + 1, sizes[i][0], sizes[i][1]));
      rows.push_back({"p" + std::to_string(i), "11010119900101" + std::to_string(1000 + i)});
    }
    rows.push_back({std::string("gone"), std::string("110101199001019999")});
    writeFile(folders.source / "junk.jpg", "not a picture");
    rows.push_back({std::string("junk"), std::string("110101199001018888")});
    rows.push_back({std::string("p2"), std::string("110101199001011000")});  // same ID as p0: p2 wins
    writeFile(folders.source / "UP.JPG", cameraJpeg(9));
    rows.push_back({std::string("up"), std::string("110101199001017777")});
    rows.push_back({std::string("  p3 "), std::string(" 110101199001016666\t")});
    writeList(list, rows);
  }

  void choose(const fs::path& target) {
    prompts.fileNames = {q(list), q(folders.source), q(target)};
    form.Button4->click();
    form.Button5->click();
    form.Button6->click();
  }

  std::vector<std::string> run() {
    form.Button1->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.running(); }, 120000));
    return splitLines(form.Memo1->toPlainText().toStdString());
  }
};

TEST_F(BatchWindow, LogAndFilesEqualTheCommandLinesOnTheSamePhotos) {
  makeStudents();
  const fs::path cliTarget = folders.root / "cli";
  fs::create_directories(cliTarget);
  std::ostringstream out, err;
  ASSERT_EQ(runPhotosCommand({list.string(), folders.source.string(), cliTarget.string()}, out, err), 0)
      << err.str();
  const auto expected = splitLines(out.str());
  ASSERT_EQ(expected.front(), "任务日志：");
  ASSERT_EQ(expected.back(), "此次任务共有11张相片需要处理，其中9张处理成功，2张处理失败。");

  choose(folders.target);
  ASSERT_TRUE(form.Button1->isEnabled());
  EXPECT_EQ(run(), expected);
  EXPECT_EQ(form.ProgressBar1->value(), 11);
  EXPECT_EQ(form.ProgressBar1->maximum(), 11);
  EXPECT_TRUE(form.Button1->isEnabled());
  EXPECT_TRUE(prompts.messages().isEmpty());
  const auto written = listFolder(folders.target);
  EXPECT_EQ(written, listFolder(cliTarget));
  for (const auto& name : written) EXPECT_EQ(readFile(folders.target / name), readFile(cliTarget / name)) << name;

  // A second run starts a new log.
  EXPECT_EQ(run(), expected);
}

TEST_F(BatchWindow, StopPressedBeforeTheRunEndsItAfterTheFirstStudent) {
  makeStudents();
  choose(folders.target);
  form.threads = 2;
  form.Button2->click();
  const auto lines = run();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 2], "任务停止！");
  EXPECT_EQ(lines.back(), "此次任务共有11张相片需要处理，当前1张处理成功，0张处理失败。");
  EXPECT_EQ(listFolder(folders.target), std::set<std::string>{"110101199001011000.jpg"});
  // The stop was used up: the next run goes to the end.
  EXPECT_EQ(run().back(), "此次任务共有11张相片需要处理，其中9张处理成功，2张处理失败。");
}

// A stop pressed when every student is done but before the run's last line
// ends that run as stopped and is used up: the next run goes to the end.
TEST_F(BatchWindow, StopAfterTheLastStudentEndsThatRunOnly) {
  makeStudents();
  choose(folders.target);
  form.threads = 2;
  QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, &form, [this](int value) {
    if (value == 11) form.Button2->click();
  });
  auto lines = run();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 2], "任务停止！");
  EXPECT_EQ(lines.back(), "此次任务共有11张相片需要处理，当前9张处理成功，2张处理失败。");
  form.ProgressBar1->disconnect(&form);
  lines = run();
  EXPECT_EQ(lines[lines.size() - 2], "任务完成！");
  EXPECT_EQ(lines.back(), "此次任务共有11张相片需要处理，其中9张处理成功，2张处理失败。");
}

// Closing the window during a run stops it after the student in hand and
// waits for it; the run's late hand-back then adds nothing to the log, not
// even its end lines. A window deleted during a run is waited for the same way.
TEST_F(BatchWindow, ClosingOrDeletingTheWindowDuringARunGivesTheRunUp) {
  makeStudents();
  choose(folders.target);
  form.threads = 1;
  int ended = 0;
  QObject::connect(&form, &TForm9::runEnded, [&] { ++ended; });
  QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, &form, [this](int value) {
    if (value >= 1 && form.running()) form.close();
  });
  form.Button1->click();
  while (form.running()) {
    QCoreApplication::processEvents();
    QThread::msleep(2);
  }
  const QString logAtClose = form.Memo1->toPlainText();
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(2);
  }
  EXPECT_EQ(form.Memo1->toPlainText(), logAtClose);
  EXPECT_TRUE(logAtClose.startsWith(QStringLiteral("任务日志：\n")));
  EXPECT_FALSE(logAtClose.contains(QStringLiteral("任务停止！")));
  EXPECT_FALSE(logAtClose.contains(QStringLiteral("任务完成！")));
  EXPECT_EQ(ended, 0);

  prompts.fileNames = {q(list), q(folders.source), q(folders.target)};
  auto* other = new TForm9(prompts);
  other->Button4->click();
  other->Button5->click();
  other->Button6->click();
  ASSERT_TRUE(other->Button1->isEnabled());
  other->Button1->click();
  ASSERT_TRUE(other->running());
  delete other;
  for (int i = 0; i < 20; ++i) {
    QCoreApplication::processEvents();
    QThread::msleep(2);
  }
}

// The chooser opens at the folder already in the box, and at its default
// while the box is empty.
TEST_F(BatchWindow, FolderChooserStartsAtTheChosenFolder) {
  const fs::path other = folders.root / "other";
  fs::create_directories(other);
  prompts.fileNames = {q(folders.source), q(other), q(folders.target), QString()};
  form.Button5->click();
  form.Button5->click();
  form.Button6->click();
  form.Button6->click();  // cancelled: the box keeps its folder
  std::vector<std::pair<QString, QString>> asked;
  for (const auto& p : prompts.log)
    if (p.kind == RecordedPrompt::Folder) asked.push_back({p.text, p.value});
  const QString source = QStringLiteral("请您选择原图的文件夹："), target = QStringLiteral("请您选择保存的文件夹：");
  EXPECT_EQ(asked, (std::vector<std::pair<QString, QString>>{
                       {source, QString()}, {source, q(folders.source)}, {target, QString()}, {target, q(folders.target)}}));
  EXPECT_EQ(form.Edit1->text(), q(other));
  EXPECT_EQ(form.Edit2->text(), q(folders.target));
}

TEST_F(BatchWindow, StartRuleAndWritingIntoTheSourceFolder) {
  makeStudents();
  prompts.fileNames = {q(list), q(folders.source)};
  form.Button4->click();
  EXPECT_FALSE(form.Label5->isHidden());
  form.Button5->click();
  EXPECT_EQ(form.Edit1->text(), q(folders.source));
  EXPECT_FALSE(form.Button1->isEnabled());  // no target yet
  form.CheckBox1->click();
  EXPECT_FALSE(form.Button6->isEnabled());
  EXPECT_TRUE(form.Button1->isEnabled());
  run();
  EXPECT_TRUE(fs::exists(folders.source / "110101199001011000.jpg"));
  EXPECT_TRUE(fs::exists(folders.source / "p0.jpg"));  // sources stay
  EXPECT_TRUE(listFolder(folders.target).empty());
}

TEST_F(BatchWindow, TheThreeErrorMessages) {
  const QString title = QStringLiteral("错误");
  form.Button1Click();  // Button1 is disabled; the handler itself refuses too
  ASSERT_EQ(prompts.log.size(), 1u);
  EXPECT_EQ(prompts.log[0].text, QStringLiteral("对应数据库没有选择，任务不能进行！"));
  EXPECT_EQ(prompts.log[0].title, title);

  writeFile(folders.root / "bad.xls", "this is not a workbook");
  prompts.fileNames = {q(folders.source), q(folders.root / "bad.xls")};
  form.Button5->click();
  form.Button4->click();
  EXPECT_EQ(prompts.lastMessage(), QStringLiteral("选取的对应数据库有问题，不能打开或识别！"));
  EXPECT_EQ(prompts.log.back().title, title);
  EXPECT_TRUE(form.Edit1->text().isEmpty());
  EXPECT_FALSE(form.Label4->isHidden());  // the source tick stays
  EXPECT_TRUE(form.Label5->isHidden());
  EXPECT_FALSE(form.Button1->isEnabled());

  writeList(list, {{std::string("照片"), std::string("身份证件号")}, {std::string("1"), std::string("2")}});
  prompts.fileNames = {q(list), q(folders.source), q(folders.target)};
  form.Button4->click();
  form.Button5->click();
  form.Button6->click();
  ASSERT_TRUE(form.Button1->isEnabled());
  QString logBehindTheBox;
  prompts.onMessage = [&] { logBehindTheBox = form.Memo1->toPlainText(); };
  form.Button1->click();
  EXPECT_EQ(logBehindTheBox, QStringLiteral("任务日志："));
  EXPECT_EQ(prompts.lastMessage(),
            QStringLiteral("    数据库可能没有“照片号”和“身份证件号”\r两个字段或名称有差别，任务不能进行！"));
  EXPECT_EQ(prompts.log.back().title, title);
  EXPECT_FALSE(form.Button1->isEnabled());
  EXPECT_FALSE(form.running());
}

}  // namespace
}  // namespace qm

#include <QApplication>
#include <QTimer>

#include "photo/batch/batch_photo_controller.h"
#include "tests/gui/app/window_host_stub.h"

namespace qm {
namespace {

// "照片" and F7 open a new modal TForm9 on each press.
TEST(BatchPhotoController, ButtonOpensANewModalWindowEachTime) {
  test::WindowHostStub host;
  auto* controller = new BatchPhotoController(host);
  QPushButton* button = host.button("FlatButton21");
  ASSERT_TRUE(button);
  EXPECT_EQ(button->text(), QStringLiteral("照片"));
  EXPECT_EQ(host.keys["FlatButton21"], QKeySequence(Qt::Key_F7));
  for (int i = 0; i < 2; ++i) {
    QWidget* seen = nullptr;
    QTimer::singleShot(0, [&] {
      seen = QApplication::activeModalWidget();
      EXPECT_EQ(seen, controller->form());
      // A fresh window: nothing chosen yet.
      EXPECT_EQ(controller->form()->Memo1->toPlainText(), QStringLiteral("等待开始批量处理。"));
      controller->form()->Button3->click();
    });
    button->click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(controller->form(), nullptr);
  }
}

}  // namespace
}  // namespace qm
