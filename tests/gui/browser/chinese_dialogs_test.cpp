// With Qt's Chinese translations loaded as the program loads them, a page's
// confirm() and prompt() and our own questions carry Chinese buttons.
#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QTimer>
#include <QWebEngineView>
#include <functional>
#include <gtest/gtest.h>

#include "browser/main_window.h"
#include "common/app_state.h"
#include "tests/support/window_waits.h"
#include "common/ui/qt_prompts.h"
#include "common/ui/qt_translations.h"

namespace qm {
namespace {

using test::awaitTask;
using test::kLongWait;

// The button texts of the next modal dialog, left to right as laid out; the
// dialog is then rejected.
class ButtonReader : public QObject {
 public:
  QStringList texts;
  ButtonReader() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      timer_.stop();
      QList<QAbstractButton*> buttons = dialog->findChild<QDialogButtonBox*>()->buttons();
      std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
      for (QAbstractButton* b : buttons) texts << b->text();
      dialog->reject();
    });
    timer_.start(20);
  }

 private:
  QTimer timer_;
};

TEST(ChineseDialogsTest, PageAndProgramQuestionsHaveChineseButtons) {
  ASSERT_EQ(loadQtTranslations(*qApp), 3);
  AppState state;
  state.serverHost = "127.0.0.1:9";
  QtPrompts prompts;
  TForm1 form(state, prompts);
  prompts.setParent(&form);
  QWebEngineView* view = tabView(form, 0);
  ASSERT_TRUE(test::loadAndWait(view, QUrl("about:blank")));
  const WebDocument doc = tabDocument(form, 0);

  struct Case {
    const char* what;
    std::function<void()> ask;
    QStringList buttons;  // as a set: the platform orders them
  };
  const Case cases[] = {
      {"page confirm()", [&] { awaitTask(doc.run("confirm('确定审核通过？')")); },
       {QStringLiteral("确定"), QStringLiteral("取消")}},
      {"page prompt()", [&] { awaitTask(doc.run("String(prompt('姓名'))")); },
       {QStringLiteral("确定"), QStringLiteral("取消")}},
      {"our question", [&] { prompts.question(QStringLiteral("确定要删除吗？"), kAppTitle); },
       {QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")}},
  };
  for (const Case& c : cases) {
    ButtonReader reader;
    c.ask();
    QStringList seen = reader.texts, expected = c.buttons;
    seen.sort();
    expected.sort();
    EXPECT_EQ(seen, expected) << c.what << ": " << reader.texts.join(',').toStdString();
  }
}

}  // namespace
}  // namespace qm
