// The page dialogs' prompts: the Qt dialogs as a user meets them, and the
// scripted twin the window tests answer with.
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "common/ui/page_text.h"
#include "common/ui/qt_prompts.h"
#include "common/ui/scripted_prompts.h"

namespace qm {
namespace {

// Acts on the modal dialog once it is up (a modal dialog runs its own loop).
void whenDialogUp(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    act(dialog);
  });
  timer->start();
}

TEST(QtPromptsTest, ConfirmIsOkCancelWithOkAsDefault) {
  QWidget parent;
  QtPrompts prompts(&parent);
  QString text, title;
  QWidget* dialogParent = nullptr;
  whenDialogUp([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    dialogParent = box->parentWidget();
    EXPECT_NE(box->button(QMessageBox::Cancel), nullptr);
    ASSERT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
    box->defaultButton()->click();  // what Enter does
  });
  EXPECT_TRUE(prompts.confirm(QStringLiteral("确定审核通过？"), kAppTitle));
  EXPECT_EQ(text, QStringLiteral("确定审核通过？"));
  EXPECT_EQ(title, kAppTitle);
  EXPECT_EQ(dialogParent, &parent);

  whenDialogUp([](QWidget* w) { static_cast<QMessageBox*>(w)->button(QMessageBox::Cancel)->click(); });
  EXPECT_FALSE(prompts.confirm(QStringLiteral("确定删除？"), kAppTitle));
}

QLineEdit* textEdit(QWidget* dialog) { return dialog->findChild<QLineEdit*>("TextInput"); }

TEST(QtPromptsTest, TextInputStartsFromTheValueAndTellsCancelFromEmpty) {
  QtPrompts prompts;
  QString shownValue;
  whenDialogUp([&](QWidget* w) {
    QLineEdit* edit = textEdit(w);
    ASSERT_NE(edit, nullptr);
    shownValue = edit->text();
    edit->setText(QStringLiteral("张三"));
    static_cast<QDialog*>(w)->accept();
  });
  EXPECT_EQ(prompts.textInput(QStringLiteral("姓名"), QStringLiteral("李四"), kAppTitle), QStringLiteral("张三"));
  EXPECT_EQ(shownValue, QStringLiteral("李四"));

  whenDialogUp([](QWidget* w) {
    textEdit(w)->clear();
    static_cast<QDialog*>(w)->accept();
  });
  const std::optional<QString> empty = prompts.textInput(QStringLiteral("备注"), QStringLiteral("x"), kAppTitle);
  ASSERT_TRUE(empty.has_value());
  EXPECT_TRUE(empty->isEmpty());

  whenDialogUp([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_FALSE(prompts.textInput(QStringLiteral("备注"), QString(), kAppTitle).has_value());
}

// The text a dialog shows and how: a message box's text, else its one label's.
struct Shown {
  QString text;
  Qt::TextFormat format = Qt::AutoText;
  bool opensLinks = true;
};
Shown shownText(QWidget* w) {
  if (auto* box = qobject_cast<QMessageBox*>(w)) {
    auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    return {box->text(), box->textFormat(), label ? label->openExternalLinks() : true};
  }
  for (QLabel* label : w->findChildren<QLabel*>())
    if (!label->text().isEmpty() && !label->buddy())
      return {label->text(), label->textFormat(), label->openExternalLinks()};
  return {};
}

TEST(QtPromptsTest, PageTextsArePlainAndCutAt2000Characters) {
  QtPrompts prompts;
  const QString link = QStringLiteral("<a href=\"http://example.invalid/\">重新登录</a>");
  const QString longText = QString(2500, QLatin1Char('x'));
  const QString cut = QString(2000, QLatin1Char('x')) + QChar(0x2026);
  bool blocked = false;
  const std::vector<std::pair<const char*, std::function<void(const QString&)>>> dialogs = {
      {"message", [&](const QString& t) { prompts.message(t, kAppTitle, PromptIcon::None); }},
      {"question", [&](const QString& t) { prompts.question(t, kAppTitle); }},
      {"confirm", [&](const QString& t) { prompts.confirm(t, kAppTitle); }},
      {"page alert", [&](const QString& t) { prompts.pageAlert(t, true, blocked); }},
      {"page prompt", [&](const QString& t) { prompts.pagePrompt(t, QString(), false, blocked); }},
      {"log-in", [&](const QString& t) { prompts.credentials(t, kAppTitle); }},
  };
  for (const auto& [name, show] : dialogs) {
    for (const auto& [text, expected] : {std::pair{link, link}, std::pair{longText, cut}}) {
      Shown shown;
      whenDialogUp([&](QWidget* w) {
        shown = shownText(w);
        static_cast<QDialog*>(w)->reject();
      });
      show(text);
      EXPECT_EQ(shown.text, expected) << name;
      EXPECT_EQ(shown.format, Qt::PlainText) << name;
      EXPECT_FALSE(shown.opensLinks) << name;
    }
  }
}

TEST(QtPromptsTest, PageDialogsOfferToBlockTheirPageWhenAsked) {
  QtPrompts prompts;
  struct Case {
    bool offer;
    bool tick;
  };
  for (const Case c : {Case{false, false}, Case{true, false}, Case{true, true}}) {
    QString option;
    whenDialogUp([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      if (box->checkBox()) {
        option = box->checkBox()->text();
        box->checkBox()->setChecked(c.tick);
      }
      box->button(QMessageBox::Ok)->click();
    });
    bool blocked = !c.tick;
    EXPECT_TRUE(prompts.pageConfirm(QStringLiteral("确定？"), c.offer, blocked));
    EXPECT_EQ(option, c.offer ? QStringLiteral("阻止此网页继续弹出对话框") : QString()) << c.offer;
    EXPECT_EQ(blocked, c.tick);

    // prompt() has its own dialog with the same option.
    whenDialogUp([&](QWidget* w) {
      auto* box = w->findChild<QCheckBox*>();
      EXPECT_EQ(box != nullptr, c.offer);
      if (box) box->setChecked(c.tick);
      static_cast<QDialog*>(w)->reject();
    });
    blocked = !c.tick;
    EXPECT_FALSE(prompts.pagePrompt(QStringLiteral("姓名"), QString(), c.offer, blocked).has_value());
    EXPECT_EQ(blocked, c.tick);
  }
}

TEST(DialogTextTest, CutsAfter2000CharactersWithAnEllipsis) {
  const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two UTF-16 units
  struct Case {
    QString in, out;
  };
  const Case cases[] = {
      {QString(), QString()},
      {QString(2000, 'a'), QString(2000, 'a')},
      {QString(2001, 'a'), QString(2000, 'a') + QChar(0x2026)},
      {QString(1999, 'a') + smile, QString(1999, 'a') + smile},
      {QString(1999, 'a') + smile + 'b', QString(1999, 'a') + smile + QChar(0x2026)},
  };
  for (const Case& c : cases) EXPECT_EQ(boundedDialogText(c.in), c.out) << c.in.size();
}

TEST(QtPromptsTest, CredentialsHideThePassword) {
  QtPrompts prompts;
  QLineEdit::EchoMode echo = QLineEdit::Normal;
  whenDialogUp([&](QWidget* w) {
    auto* user = w->findChild<QLineEdit*>("UserName");
    auto* password = w->findChild<QLineEdit*>("Password");
    ASSERT_TRUE(user && password);
    echo = password->echoMode();
    user->setText("u");
    password->setText("p w");
    static_cast<QDialog*>(w)->accept();
  });
  const std::optional<Credentials> c = prompts.credentials(QStringLiteral("服务器要求输入用户名和密码。"), kAppTitle);
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->user, "u");
  EXPECT_EQ(c->password, "p w");
  EXPECT_EQ(echo, QLineEdit::Password);

  whenDialogUp([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_FALSE(prompts.credentials(QStringLiteral("x"), kAppTitle).has_value());
}

TEST(ScriptedPromptsTest, PageDialogsAnswerFromTheirQueuesAndAreRecorded) {
  ScriptedPrompts prompts;
  prompts.confirmations = {true};
  prompts.texts = {QStringLiteral("a"), std::nullopt};
  prompts.logins = {Credentials{"u", "p"}};
  prompts.answers = {true};  // yes/no answers are not confirm answers

  EXPECT_TRUE(prompts.confirm("c1", kAppTitle));
  EXPECT_FALSE(prompts.confirm("c2", kAppTitle));  // empty queue: Cancel
  EXPECT_EQ(prompts.textInput("t1", "v1", kAppTitle), QStringLiteral("a"));
  EXPECT_FALSE(prompts.textInput("t2", "", kAppTitle).has_value());
  EXPECT_FALSE(prompts.textInput("t3", "", kAppTitle).has_value());  // empty queue: cancelled
  const std::optional<Credentials> c = prompts.credentials("l1", "T");
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->user, "u");
  EXPECT_FALSE(prompts.credentials("l2", "T").has_value());
  EXPECT_EQ(prompts.answers.size(), 1u);

  struct Expect {
    RecordedPrompt::Kind kind;
    const char* text;
    const char* value;
  };
  const Expect expected[] = {{RecordedPrompt::Confirm, "c1", ""},   {RecordedPrompt::Confirm, "c2", ""},
                             {RecordedPrompt::TextInput, "t1", "v1"}, {RecordedPrompt::TextInput, "t2", ""},
                             {RecordedPrompt::TextInput, "t3", ""}, {RecordedPrompt::Login, "l1", ""},
                             {RecordedPrompt::Login, "l2", ""}};
  ASSERT_EQ(prompts.log.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(prompts.log[i].kind, expected[i].kind) << i;
    EXPECT_EQ(prompts.log[i].text, expected[i].text) << i;
    EXPECT_EQ(prompts.log[i].value, expected[i].value) << i;
  }
  EXPECT_EQ(prompts.log[5].title, "T");
  EXPECT_TRUE(prompts.messages().isEmpty());  // none of these is a message box
}

}  // namespace
}  // namespace qm
