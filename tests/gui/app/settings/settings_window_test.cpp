// TForm8 as the user meets it: the file is read when the dialog opens (and a
// code no button stands for is repaired at once), "设置" writes the checked
// province and the trimmed texts, "退出" writes nothing.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/settings/settings_controller.h"
#include "app/settings/settings_window.h"
#include "common/app_state.h"
#include "common/profile_file.h"
#include "common/settings_names.h"
#include "common/ui/scripted_prompts.h"
#include "tests/gui/app/window_host_stub.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;
using namespace qm;

namespace {

const QString kSaved = QStringLiteral("设置成功!重启浏览器后将生效。");

struct SettingsFixture : ::testing::Test {
  test::TempFolder tmp{"settings_window"};
  std::string path = (tmp.path / "quillmeresz.ini").string();
  ScriptedPrompts prompts;

  void write(const char* section, const char* key, const std::string& value) {
    ASSERT_TRUE(ProfileFile(path).write(section, key, value));
  }
  std::string read(const char* section, const char* key) const { return ProfileFile(path).read(section, key); }
  std::string code() const { return read(kProvinceSection, kProvinceKey); }

  static QRadioButton* radio(TForm8& form, int code) {
    return form.findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(code));
  }
  static QRadioButton* checked(TForm8& form) {
    for (QRadioButton* r : form.findChildren<QRadioButton*>())
      if (r->isChecked()) return r;
    return nullptr;
  }
  static QLineEdit* edit(TForm8& form, const char* name) { return form.findChild<QLineEdit*>(name); }
  static void click(TForm8& form, const char* name) {
    QTest::mouseClick(form.findChild<QPushButton*>(name), Qt::LeftButton);
  }
};

TEST_F(SettingsFixture, ShowsEveryProvinceFiveToARowThenTheCustomAddress) {
  TForm8 form(path, prompts);
  form.show();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("设置省份与登录名（自动打开各省系统）"));
  const QStringList captions = {"湖北", "黑龙江", "吉林", "内蒙古", "河北", "河南", "山西", "湖南",
                                "江西", "福建", "广东", "广西", "海南", "云南", "贵州", "重庆",
                                "宁夏", "甘肃", "青海", "新疆", "四川", "陕西", "辽宁"};
  for (int code = 1; code <= 23; ++code) {
    QRadioButton* r = radio(form, code);
    ASSERT_NE(r, nullptr) << code;
    EXPECT_EQ(r->text(), captions[code - 1]);
    QRadioButton* rowStart = radio(form, (code - 1) / 5 * 5 + 1);
    EXPECT_EQ(r->y(), rowStart->y()) << code << " sits in the row of " << rowStart->text().toStdString();
    if (code % 5 != 1) EXPECT_GT(r->x(), radio(form, code - 1)->x()) << code;
    if (code > 5) EXPECT_GT(r->y(), radio(form, code - 5)->y()) << code;
  }
  QRadioButton* custom = radio(form, 99);
  ASSERT_NE(custom, nullptr);
  EXPECT_EQ(custom->text(), QStringLiteral("自定义网址（前面不要加http://，后面不要加斜杠)"));
  EXPECT_GT(custom->y(), radio(form, 23)->y());
  EXPECT_GT(edit(form, "Edit3")->y(), custom->y());
  EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(), QStringLiteral("注意：设置后，请退出浏览器重新打开才生效！"));
  EXPECT_EQ(form.findChild<QLabel*>("Label2")->text(), QStringLiteral("登录用户名："));
  EXPECT_TRUE(form.findChild<QPushButton*>("Button1")->isDefault());
  EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "fixed size";
  // One group: checking one province unchecks the other.
  radio(form, 7)->setChecked(true);
  radio(form, 99)->setChecked(true);
  EXPECT_FALSE(radio(form, 7)->isChecked());
}

struct OpeningCase {
  const char* stored;     // nullptr: no file at all
  int checkedCode;
  const char* fileAfter;  // "xjxtsf" once the dialog is open
};

class SettingsOpening : public SettingsFixture, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(SettingsOpening, ChecksTheButtonOfTheStoredCodeAndRepairsTheRest) {
  const OpeningCase c = GetParam();
  if (c.stored) write(kProvinceSection, kProvinceKey, c.stored);
  TForm8 form(path, prompts);
  ASSERT_NE(checked(form), nullptr);
  EXPECT_EQ(checked(form), radio(form, c.checkedCode));
  EXPECT_EQ(code(), c.fileAfter);
  EXPECT_TRUE(prompts.log.empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, SettingsOpening,
                         ::testing::Values(OpeningCase{"13", 13, "13"}, OpeningCase{"23", 23, "23"},
                                           OpeningCase{"99", 99, "99"}, OpeningCase{nullptr, 1, "1"},
                                           OpeningCase{"", 1, "1"}, OpeningCase{"07", 1, "1"},
                                           OpeningCase{"24", 1, "1"}, OpeningCase{"abc", 1, "1"},
                                           OpeningCase{"-1", 1, "1"}));

TEST_F(SettingsFixture, OpensWithTheCustomAddressAndTheLoginName) {
  write(kProvinceSection, kProvinceKey, "99");
  write(kCustomAddressSection, kCustomAddressKey, "10.1.2.3:8080");
  write(kLoginSection, kLoginKey, "张老师");
  TForm8 form(path, prompts);
  EXPECT_TRUE(radio(form, 99)->isChecked());
  EXPECT_EQ(edit(form, "Edit3")->text(), QStringLiteral("10.1.2.3:8080"));
  EXPECT_EQ(edit(form, "Edit1")->text(), QStringLiteral("张老师"));
}

TEST_F(SettingsFixture, FindsAButtonByItsNameWithoutRegardToCase) {
  TForm8 form(path, prompts);
  EXPECT_EQ(form.radioButtonNamed("Radiobutton7"), radio(form, 7));
  EXPECT_EQ(form.radioButtonNamed("RADIOBUTTON99"), radio(form, 99));
  EXPECT_EQ(form.radioButtonNamed("Radiobutton07"), nullptr);
}

TEST_F(SettingsFixture, SavesTheCheckedProvinceAndTheTrimmedTexts) {
  write(kProvinceSection, kProvinceKey, "5");
  TForm8 form(path, prompts);
  form.show();
  radio(form, 23)->setChecked(true);
  edit(form, "Edit1")->setText(QStringLiteral("  王 老师 \t"));
  edit(form, "Edit3")->setText(QStringLiteral("   "));
  click(form, "Button1");
  EXPECT_EQ(code(), "23");
  EXPECT_EQ(read(kLoginSection, kLoginKey), "王 老师");
  EXPECT_EQ(read(kCustomAddressSection, kCustomAddressKey), "");
  ASSERT_EQ(prompts.log.size(), 1u);
  EXPECT_EQ(prompts.log[0].text, kSaved);
  EXPECT_EQ(prompts.log[0].title, kAppTitle);
  EXPECT_TRUE(form.isVisible()) << "saving keeps the dialog open";

  radio(form, 99)->setChecked(true);
  edit(form, "Edit3")->setText(QStringLiteral(" 127.0.0.1:8081 "));
  click(form, "Button1");
  EXPECT_EQ(code(), "99");
  EXPECT_EQ(read(kCustomAddressSection, kCustomAddressKey), "127.0.0.1:8081");
  click(form, "Button1");
  EXPECT_EQ(code(), "99");
  EXPECT_EQ(prompts.messages(), QStringList({kSaved, kSaved, kSaved}));
}

TEST_F(SettingsFixture, EnterSavesAndEscapeClosesWithoutWriting) {
  write(kProvinceSection, kProvinceKey, "3");
  {
    TForm8 form(path, prompts);
    form.show();
    radio(form, 8)->setChecked(true);
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(code(), "3");
    EXPECT_TRUE(prompts.log.empty());
  }
  {
    TForm8 form(path, prompts);
    form.show();
    radio(form, 8)->setChecked(true);
    click(form, "Button2");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(code(), "3");
  }
  TForm8 form(path, prompts);
  form.show();
  radio(form, 8)->setChecked(true);
  edit(form, "Edit1")->setFocus();
  QTest::keyClick(edit(form, "Edit1"), Qt::Key_Return);
  EXPECT_EQ(code(), "8");
  EXPECT_EQ(prompts.messages(), QStringList({kSaved}));
}

TEST_F(SettingsFixture, AFileThatCannotBeWrittenIsReportedAndNothingClaimsSuccess) {
  const fs::path locked = tmp.unwritableFolder();
  const std::string lockedPath = (locked / "quillmeresz.ini").string();
  TForm8 form(lockedPath, prompts);
  // The repair on opening fails: said once, and the dialog still opens on 湖北.
  ASSERT_EQ(prompts.log.size(), 1u);
  EXPECT_EQ(prompts.log[0].text, QString::fromStdString("Unable to write to " + lockedPath));
  EXPECT_EQ(prompts.log[0].icon, PromptIcon::Error);
  EXPECT_TRUE(radio(form, 1)->isChecked());

  radio(form, 6)->setChecked(true);
  click(form, "Button1");
  ASSERT_EQ(prompts.log.size(), 2u);
  EXPECT_EQ(prompts.log[1].text, QString::fromStdString("Unable to write to " + lockedPath));
  EXPECT_FALSE(prompts.messages().contains(kSaved));
}

TEST_F(SettingsFixture, TheButtonOpensANewDialogEachTimeThatReadsTheFileAgain) {
  test::WindowHostStub host;
  host.appState.settingsPath = path;
  auto* controller = new SettingsController(host);
  QPushButton* button = host.button("FlatButton20");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("设置"));
  EXPECT_EQ(host.keys["FlatButton20"], QKeySequence(Qt::Key_F9));

  std::vector<int> seen;
  controller->runDialog = [&](TForm8& form) {
    EXPECT_TRUE(form.parentWidget() == &host.mainWindow);
    for (int c : {1, 11, 99})
      if (radio(form, c)->isChecked()) seen.push_back(c);
    radio(form, 11)->setChecked(true);
    click(form, "Button1");
  };
  button->click();
  button->click();
  EXPECT_EQ(seen, (std::vector<int>{1, 11}));
  EXPECT_EQ(code(), "11");
  EXPECT_EQ(host.scripted.messages(), QStringList({kSaved, kSaved}));
}

}  // namespace
