// TForm12 around its runs: hints and control states, a sheet without the
// fields, 关闭, a run without a session, closing the window during a run, the
// tool-column button, and the captcha dialog's own rules.
#include <QFile>
#include <QGroupBox>
#include <QPlainTextEdit>

#include "common/ui/prompts.h"
#include "net/http_client.h"
#include "server/duplicate/duplicate_controller.h"
#include "tests/e2e/server/duplicate/duplicate_e2e_support.h"

namespace qm::e2e {
namespace {

using Entry = CaptchaEntry;

// 打开, 关闭, sheet list, 开始查重, 停止, 退出, filters.
std::vector<bool> states(TForm12& f) {
  return {f.BitBtn2->isEnabled(), f.BitBtn4->isEnabled(), f.ComboBox2->isEnabled(), f.Button1->isEnabled(),
          f.Button2->isEnabled(), f.Button4->isEnabled(), f.GroupBox4->isEnabled()};
}

const QString kClosedHint = QStringLiteral(
    "请打开EXCEL数据库（必须有姓名和身份证件号两个字段），然后点击“开始查重”就可以在本省查找学生是否已经有学籍。");

TEST_F(DuplicateTest, HintsAndControlsFromFirstShowingToClose) {
  startSim();
  TForm12& f = makeForm();
  EXPECT_EQ(f.windowTitle(), QStringLiteral("省内学籍批量查重"));
  EXPECT_EQ(f.Memo1->toPlainText(),
            QStringLiteral("请打开EXCEL数据库（必须有姓名和身份证件号两个字段），然后点击“开始查\n"
                           "重”就可以在本省查找学生是否已经有学籍。"));
  EXPECT_EQ(states(f), (std::vector<bool>{true, false, false, false, false, true, true}));
  EXPECT_TRUE(f.CheckBox2->isChecked());
  EXPECT_FALSE(f.CheckBox1->isChecked() || f.CheckBox3->isChecked() || f.CheckBox4->isChecked());

  openWorkbook({{"名单", {{"学号", "姓名"}, {"1", "张三"}}},
                {"学生", {{"姓名", "身份证件号"}, {student(0).xm, student(0).sfzjh}, {student(1).xm, student(1).sfzjh}}}});
  // The first sheet lacks a field.
  EXPECT_EQ(f.Label26->text(), QStringLiteral("students.xls"));
  EXPECT_EQ(f.Memo1->toPlainText(),
            QStringLiteral("选择的工作表没有姓名或身份证件号字段，无法查重。\n请选择其它工作表或数据库"));
  EXPECT_EQ(states(f), (std::vector<bool>{false, true, true, false, false, true, true}));
  EXPECT_EQ(f.Label10->text(), QStringLiteral("1"));

  // The second has both (the header case does not matter to FindField).
  QSignalSpy settled(&f.panel(), &WorkbookPanel::settled);
  f.ComboBox2->setCurrentIndex(1);
  ASSERT_TRUE(settled.count() > 0 || settled.wait(30000));
  EXPECT_EQ(f.Memo1->toPlainText(), QStringLiteral("请点击“开始查重”在本省查找学生是否已经有学籍！"));
  EXPECT_EQ(states(f), (std::vector<bool>{false, true, true, true, false, true, true}));
  EXPECT_EQ(f.Label9->text(), QStringLiteral("0"));
  EXPECT_EQ(f.Label10->text(), QStringLiteral("2"));

  // During a run everything but 停止 is off.
  std::vector<bool> during;
  entries = {{Entry::Right}, {Entry::Right}};
  QObject::connect(&f, &TForm12::runEnded, [] {});
  bool sampled = false;
  f.showCaptcha = [&, base = f.showCaptcha](TForm13& d) {
    if (!sampled) during = states(f), sampled = true;
    base(d);
  };
  ASSERT_TRUE(run());
  EXPECT_EQ(during, (std::vector<bool>{false, false, false, false, true, false, false}));

  f.BitBtn4->click();
  EXPECT_EQ(f.Memo1->toPlainText(), kClosedHint);
  EXPECT_EQ(states(f), (std::vector<bool>{true, false, false, false, false, true, true}));
  EXPECT_EQ(f.ComboBox2->count(), 0);
  EXPECT_EQ(f.Label26->text(), QStringLiteral("students.xls"));  // the label stays
}

TEST_F(DuplicateTest, ANameTypedWithoutItsExtensionOpensTheXlsFile) {
  startSim();
  TForm12& f = makeForm();
  test::writeXls({path("students.xls"), {{"学生", {{"姓名", "身份证件号"}, {student(0).xm, student(0).sfzjh}}}}},
                 dir_.path.string());
  ASSERT_TRUE(QFile::copy(QString::fromStdString(path("students.xls")), QString::fromStdString(path("roster"))));
  struct Case {
    const char* typed;
    const char* opened;
  } cases[] = {{"students", "students.xls"}, {"roster", "roster"}};  // a name that exists as typed stays
  for (const auto& c : cases) {
    host_.scripted.fileNames.push_back(QString::fromStdString(path(c.typed)));
    QCoro::waitFor(f.BitBtn2Click());
    EXPECT_TRUE(f.panel().source().isOpen()) << c.typed;
    EXPECT_EQ(f.Label26->text(), QString::fromUtf8(c.opened));
    EXPECT_TRUE(f.Button1->isEnabled()) << c.typed;
    f.BitBtn4Click();
  }
}

TEST_F(DuplicateTest, WithoutASessionTheRunEndsAsNotLoggedIn) {
  startSim();
  host_.cookie.clear();
  TForm12& f = makeForm();
  openWorkbook({{"学生", {{"姓名", "身份证件号"}, {student(0).xm, student(0).sfzjh}}}});
  ASSERT_TRUE(run());
  EXPECT_EQ(host_.scripted.lastMessage(), QStringLiteral("您还没有登录学籍网吧？"));
  EXPECT_EQ(host_.scripted.log.back().title, kAppTitle);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(states(f), (std::vector<bool>{false, true, true, true, false, true, true}));
  EXPECT_EQ(f.Memo1->toPlainText(), QStringLiteral("请点击“开始查重”在本省查找学生是否已经有学籍！"));
}

TEST_F(DuplicateTest, ClosingTheWindowDuringARunStopsItKeepsTheLogAndClosesTheWorkbook) {
  startSim();
  TForm12& f = makeForm();
  openWorkbook({{"学生", {{"姓名", "身份证件号"},
                          {student(2).xm, student(2).sfzjh},
                          {student(0).xm, student(0).sfzjh}}}});
  f.CheckBox4->setChecked(true);  // a filter of the user's own
  Entry closing{Entry::Right};
  closing.closeWindow = true;
  entries = {closing};
  ASSERT_TRUE(run());
  EXPECT_FALSE(f.isVisible());
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(host_.scripted.lastMessage(), QStringLiteral("查重停止！"));
  EXPECT_FALSE(f.panel().source().isOpen());
  // The student in hand was still checked; the next showing has the log and filters as they were.
  const QString found = QString::fromStdString("【1、" + student(2).xm + "】共找到" +
                                               std::to_string(sim_->provinceRegistrations(student(2).sfzjh).size()) +
                                               "条学籍。学籍所在学校：");
  f.show();
  EXPECT_TRUE(f.Memo1->toPlainText().startsWith(found)) << f.Memo1->toPlainText().toStdString();
  EXPECT_EQ(f.logLines().size(), 1u);
  EXPECT_TRUE(f.CheckBox4->isChecked());
  EXPECT_TRUE(f.CheckBox2->isChecked());
  EXPECT_EQ(states(f), (std::vector<bool>{true, false, false, false, false, true, true}));
}

TEST_F(DuplicateTest, ClosingWithoutARunKeepsTheLogAndClosesTheWorkbook) {
  startSim();
  TForm12& f = makeForm();
  openWorkbook({{"学生", {{"姓名", "身份证件号"}, {student(2).xm, student(2).sfzjh}}}});
  entries = {{Entry::Right}};
  ASSERT_TRUE(run());
  const QString runLog = f.Memo1->toPlainText();
  f.Button4->click();
  EXPECT_FALSE(f.isVisible());
  EXPECT_FALSE(f.panel().source().isOpen());
  EXPECT_EQ(f.Memo1->toPlainText(), runLog);
  EXPECT_EQ(states(f), (std::vector<bool>{true, false, false, false, false, true, true}));
}

TEST_F(DuplicateTest, ToolButtonMakesTheWindowOnceAndShowsItAgain) {
  startSim();
  DuplicateController controller(host_);
  QPushButton* b = host_.button("FlatButton26");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->text(), QStringLiteral("查重"));
  b->click();
  TForm12* first = controller.form();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  first->CheckBox4->setChecked(true);
  first->close();
  b->click();
  EXPECT_EQ(controller.form(), first);
  EXPECT_TRUE(first->isVisible());
  EXPECT_TRUE(first->CheckBox4->isChecked());
}

// The dialog on its own, with a logged-in client.
class CaptchaDialogTest : public DuplicateTest {
 public:
  std::shared_ptr<HttpClient> client = std::make_shared<HttpClient>("IdHTTP4");
  void SetUp() override {
    startSim();
    client->addExtraLine("Cookie:" + host_.cookie);
  }
  std::unique_ptr<TForm13> open(const std::string& path) {
    auto d = std::make_unique<TForm13>(client, "http://" + sim_->host() + path, host_.scripted);
    QSignalSpy settled(d.get(), &TForm13::pictureSettled);
    d->show();
    // A quick failure may settle within show() itself.
    EXPECT_TRUE(!settled.isEmpty() || settled.wait(30000));
    return d;
  }
};

TEST_F(CaptchaDialogTest, ShowsThePictureEnlargedAndWantsACode) {
  auto d = open("/jsp/mems/xjgl/zhcx/qsxscx/imagegen.jsp?t=1");
  EXPECT_EQ(d->windowTitle(), QStringLiteral("输入验证码"));
  EXPECT_TRUE(d->pictureLoaded());
  EXPECT_EQ(d->picture().size(), QSize(89, 25));
  EXPECT_GT(d->Image1->pixmap().width(), 89 * 2);
  EXPECT_TRUE(host_.scripted.log.empty());
  // 确定 with an empty entry keeps the dialog open.
  d->Button1->click();
  EXPECT_FALSE(d->closed());
  EXPECT_EQ(host_.scripted.lastMessage(), QStringLiteral("必须输入验证码才能继续！"));
  EXPECT_EQ(host_.scripted.log.back().title, QStringLiteral("请注意"));
  d->Edit3->setText(QStringLiteral(" 12 "));
  QTest::keyClick(d->Edit3, Qt::Key_Return);
  EXPECT_TRUE(d->closed());
  EXPECT_FALSE(d->cancelled());
  EXPECT_EQ(d->code(), QStringLiteral(" 12 "));
}

TEST_F(CaptchaDialogTest, APictureThatFailsShowsItsErrorAndTheDialogStillServes) {
  struct Case {
    const char* path;
    const char* errorPart;  // in the box's text
  };
  for (const Case c : {Case{"/no/such/picture.jsp", "404"}, Case{"/sim/title?t=x", ""}}) {
    host_.scripted.log.clear();
    auto d = open(c.path);
    EXPECT_FALSE(d->pictureLoaded()) << c.path;
    EXPECT_EQ(d->picture().size(), QSize(89, 25));  // the placeholder
    ASSERT_EQ(host_.scripted.log.size(), 1u) << c.path;
    EXPECT_FALSE(host_.scripted.log[0].text.isEmpty());
    EXPECT_TRUE(host_.scripted.log[0].text.contains(QString::fromUtf8(c.errorPart))) << host_.scripted.log[0].text.toStdString();
    EXPECT_TRUE(d->isVisible());
    d->Edit3->setText(QStringLiteral("1234"));
    QTest::keyClick(d->Edit3, Qt::Key_Escape);
    EXPECT_TRUE(d->closed());
    EXPECT_TRUE(d->cancelled());
    EXPECT_EQ(d->code(), QStringLiteral("1234"));
  }
}

}  // namespace
}  // namespace qm::e2e
