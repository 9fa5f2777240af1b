// TForm2 through its window: the three messages, the placement beside the
// main window and the text kept when it is closed and shown again.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "checks/id/id_controller.h"
#include "checks/id/id_window.h"
#include "tests/gui/app/window_host_stub.h"

namespace qm {
namespace {

struct IdCase {
  const char* typed;
  QString message;
};

class IdWindowTest : public ::testing::Test {
 protected:
  test::WindowHostStub host;
  IdCheckController controller{host};
  TForm2& form() { return *controller.form(); }
};

TEST_F(IdWindowTest, EachNumberGetsItsMessage) {
  const IdCase cases[] = {
      {"000000000000000001", QStringLiteral("恭喜，身份证号正确！")},       // sum 0: check character 1
      {"000000000000000000", QStringLiteral("身份证号不正确。")},
      {"000000100000000000X", QStringLiteral("身份证号长度不正确。")},  // 19 characters
      {"00000010000000000X", QStringLiteral("恭喜，身份证号正确！")},       // sum 2: X
      {"00000010000000000x", QStringLiteral("身份证号不正确。")},         // a lowercase x never matches
      {"100000000000000005", QStringLiteral("恭喜，身份证号正确！")},       // sum 7: 5
      {"  000000000000000001\t", QStringLiteral("恭喜，身份证号正确！")},   // blanks around are ignored
      {"000000000 00000001", QStringLiteral("身份证号不正确。")},         // a blank inside is not
      {"110105491231002", QStringLiteral("身份证号长度不正确。")},      // the old 15-character form
      {"一二三四五六七八九", QStringLiteral("身份证号不正确。")},         // 18 GBK bytes, not digits
      {"", QStringLiteral("身份证号长度不正确。")},
  };
  for (const IdCase& c : cases) {
    form().FlatEdit1->setText(QString::fromUtf8(c.typed));
    QTest::mouseClick(form().FlatButton1, Qt::LeftButton);
    ASSERT_FALSE(host.scripted.log.empty());
    EXPECT_EQ(host.scripted.log.back().text, c.message) << c.typed;
    EXPECT_EQ(host.scripted.log.back().title, kAppTitle) << c.typed;
  }
  EXPECT_EQ(host.scripted.log.size(), std::size(cases));
}

TEST_F(IdWindowTest, EnterInTheEditChecksToo) {
  form().FlatEdit1->setText("000000000000000001");
  QTest::keyClick(form().FlatEdit1, Qt::Key_Return);
  EXPECT_EQ(host.scripted.lastMessage(), QStringLiteral("恭喜，身份证号正确！"));
}

TEST_F(IdWindowTest, ButtonShowsTheStartUpWindowBesideTheMainWindowAndKeepsItsText) {
  ASSERT_NE(controller.form(), nullptr);  // made at install, hidden
  EXPECT_TRUE(form().isHidden());
  EXPECT_EQ(host.keys["FlatButton9"], QKeySequence(Qt::Key_F1));
  EXPECT_EQ(controller.button()->text(), QStringLiteral("身份证"));
  EXPECT_TRUE(form().windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form().size(), QSize(320, 88));

  host.mainWindow.setGeometry(100, 50, 1200, 800);
  host.mainWindow.show();
  TForm2* before = controller.form();
  QTest::mouseClick(controller.button(), Qt::LeftButton);
  EXPECT_TRUE(form().isVisible());
  EXPECT_FALSE(form().isModal());
  const QRect main = host.mainWindow.frameGeometry();
  EXPECT_EQ(form().pos(), QPoint(main.x() + main.width() - 400, main.y() + 90));

  form().FlatEdit1->setText("12345");
  QTest::mouseClick(form().FlatButton2, Qt::LeftButton);  // 关闭 hides
  EXPECT_TRUE(form().isHidden());
  QTest::mouseClick(controller.button(), Qt::LeftButton);
  EXPECT_EQ(controller.form(), before);
  EXPECT_EQ(form().FlatEdit1->text(), QStringLiteral("12345"));
}

}  // namespace
}  // namespace qm
