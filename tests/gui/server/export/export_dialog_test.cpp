// TForm4: the 确定/取消 rules and the choice kept between showings.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include "common/ui/scripted_prompts.h"
#include "server/export/export_dialog.h"

namespace qm {
namespace {

QPushButton* button(TForm4& dlg, const char* name) { return dlg.findChild<QPushButton*>(QString::fromLatin1(name)); }

TEST(ExportDialog, LayoutKeepsComponentNamesAndPositions) {
  ExportSelection sel;
  ScriptedPrompts prompts;
  TForm4 dlg(sel, prompts);
  EXPECT_EQ(dlg.size(), QSize(280, 286));
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("选择年级"));
  EXPECT_TRUE(dlg.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(dlg.font().pixelSize(), 12);
  struct Case { int position; const char* name; const char* caption; QPoint at; };
  const Case cases[] = {
      {1, "CheckBox1", "姓名", {24, 64}},          {10, "CheckBox10", "班级", {24, 121}},
      {11, "CheckBox16", "年级", {99, 121}},       {13, "CheckBox15", "是否分班", {24, 141}},
      {15, "CheckBox13", "身份证件类型", {177, 141}}, {16, "CheckBox11", "就读方式", {24, 161}},
      {18, "CheckBox18", "户口所在地码", {178, 161}}, {19, "CheckBox19", "就读状态", {24, 177}},
  };
  for (const auto& c : cases) {
    QCheckBox* box = dlg.checkBoxAt(c.position);
    ASSERT_NE(box, nullptr) << c.position;
    EXPECT_EQ(box->objectName(), QString::fromLatin1(c.name));
    EXPECT_EQ(box->text(), QString::fromUtf8(c.caption));
    EXPECT_EQ(box->pos(), c.at) << c.name;
  }
  EXPECT_EQ(dlg.checkBoxAt(0), nullptr);
  EXPECT_EQ(dlg.checkBoxAt(20), nullptr);

  auto* grades = dlg.findChild<QComboBox*>(QStringLiteral("FlatComboBox1"));
  ASSERT_NE(grades, nullptr);
  EXPECT_FALSE(grades->isEditable());
  ASSERT_EQ(grades->count(), 14);
  EXPECT_EQ(grades->itemText(0), QStringLiteral("全部年级"));
  EXPECT_EQ(grades->itemText(13), QStringLiteral("高中三年级"));
  auto* hint = dlg.findChild<QLabel*>(QStringLiteral("Label3"));
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->text().startsWith(QStringLiteral("    提示：如果您的电脑中安装是office2003")));
  EXPECT_TRUE(hint->wordWrap());
  EXPECT_EQ(hint->width(), 240);
  EXPECT_EQ(button(dlg, "FlatButton1")->text(), QStringLiteral("确定"));
  EXPECT_EQ(button(dlg, "FlatButton2")->text(), QStringLiteral("取消"));
}

TEST(ExportDialog, FirstShowingHasAllGradesAndFirstTenColumns) {
  ExportSelection sel;
  ScriptedPrompts prompts;
  TForm4 dlg(sel, prompts);
  EXPECT_EQ(dlg.gradeList()->currentIndex(), 0);
  for (int p = 1; p <= 19; ++p) EXPECT_EQ(dlg.checkBoxAt(p)->isChecked(), p <= 10) << p;
}

TEST(ExportDialog, NoColumnCheckedShowsMessageAndStaysOpen) {
  ExportSelection sel;
  ScriptedPrompts prompts;
  TForm4 dlg(sel, prompts);
  dlg.show();
  dlg.gradeList()->setCurrentIndex(5);
  for (int p = 1; p <= 19; ++p) dlg.checkBoxAt(p)->setChecked(false);
  button(dlg, "FlatButton1")->click();
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("您一个字段都不选，导不出来东东哦！")});
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), 0);
  // Nothing stored.
  EXPECT_EQ(sel.GradeCode, "##");
  EXPECT_EQ(sel.gradeIndex, 0);
  EXPECT_TRUE(sel.columns[0]);
}

TEST(ExportDialog, ConfirmStoresGradeCodeAndColumns) {
  struct Case { int index; const char* code; };
  const Case cases[] = {{0, "**"}, {1, "11"}, {7, "21"}, {10, "24"}, {11, "31"}, {13, "33"}};
  for (const auto& c : cases) {
    ExportSelection sel;
    ScriptedPrompts prompts;
    TForm4 dlg(sel, prompts);
    dlg.show();
    dlg.gradeList()->setCurrentIndex(c.index);
    for (int p = 1; p <= 19; ++p) dlg.checkBoxAt(p)->setChecked(p == 19);  // only 就读状态
    button(dlg, "FlatButton1")->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(sel.GradeCode, c.code);
    EXPECT_EQ(sel.gradeIndex, c.index);
    for (int i = 0; i < 19; ++i) EXPECT_EQ(sel.columns[i], i == 18) << i;
    EXPECT_TRUE(prompts.log.empty());
  }
}

TEST(ExportDialog, CancelKeepsChangedBoxesForNextShowing) {
  ExportSelection sel;
  ScriptedPrompts prompts;
  sel.GradeCode = "21";  // an earlier export's choice
  {
    TForm4 dlg(sel, prompts);
    dlg.show();
    dlg.gradeList()->setCurrentIndex(8);
    dlg.checkBoxAt(2)->setChecked(false);
    dlg.checkBoxAt(17)->setChecked(true);
    button(dlg, "FlatButton2")->click();
    EXPECT_FALSE(dlg.isVisible());
  }
  EXPECT_EQ(sel.GradeCode, "##");
  TForm4 again(sel, prompts);
  EXPECT_EQ(again.gradeList()->currentIndex(), 8);
  EXPECT_FALSE(again.checkBoxAt(2)->isChecked());
  EXPECT_TRUE(again.checkBoxAt(17)->isChecked());
  EXPECT_TRUE(again.checkBoxAt(1)->isChecked());
}

TEST(ExportDialog, EscapeActsLikeCancelButton) {
  ExportSelection sel;
  sel.GradeCode = "**";
  ScriptedPrompts prompts;
  TForm4 dlg(sel, prompts);
  dlg.show();
  dlg.reject();
  EXPECT_EQ(sel.GradeCode, "##");
}

}  // namespace
}  // namespace qm
