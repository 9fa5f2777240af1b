// The window's function keys, pressed as real X keys wherever the keyboard
// is inside the main window: in the page right after start-up, in the page
// after a page's confirm() was answered, and in the address box. The page
// never sees a bound key; an unbound one reaches whatever has the keyboard.
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEngineScriptCollection>

#include "app/features.h"
#include "desktop_fixture.h"
#include "server/export/in_school_export.h"

namespace qm::desktop {
namespace {

// Every keydown the page sees, kept across reloads and the login's redirect.
const QString kKeyCounter = QStringLiteral(
    "if (!window.qmKeyCounter) { window.qmKeyCounter = true;"
    " window.addEventListener('keydown', function (e) {"
    "  sessionStorage.setItem('qmKeys', (sessionStorage.getItem('qmKeys') || '') + '[' + e.key + ']'); }, true); }"
    "'counting'");

enum class Place { PasswordBox, Page, AddressBox };
enum class Does { Reload, StopFlag, Export, ShowsToolWindow, ModalClosedByEsc, Types };

struct KeyRow {
  const char* key;  // xdotool's key name
  Does does;
  const char* window;  // the window the key opens
};

const KeyRow kRows[] = {
    {"F5", Does::Reload, nullptr},
    {"F10", Does::StopFlag, nullptr},
    {"F11", Does::Export, nullptr},
    {"F1", Does::ShowsToolWindow, "qm::TForm2"},
    {"F6", Does::ShowsToolWindow, "qm::TForm7"},
    {"F9", Does::ModalClosedByEsc, "qm::TForm8"},  // Esc closes it
    {"a", Does::Types, nullptr},
};

const char* placeName(Place p) {
  switch (p) {
    case Place::PasswordBox: return "password box after start-up";
    case Place::Page: return "page after a confirm()";
    case Place::AddressBox: return "address box";
  }
  return "";
}

// Logs who receives each key event, to tell where a key went astray.
class KeyLog : public QObject {
 public:
  QStringList lines;
  KeyLog() { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      lines << QStringLiteral("%1 %2 %3(%4)")
                   .arg(event->type() == QEvent::KeyPress ? "KeyPress" : "ShortcutOverride")
                   .arg(QKeySequence(key->key()).toString(), receiver->metaObject()->className(),
                        receiver->objectName());
    }
    return false;
  }
};

// Answers each modal dialog that comes up with a real key once it has the
// keyboard, and remembers what it saw.
class ModalWatcher : public QObject {
 public:
  QString answerKey = QStringLiteral("Escape");
  QStringList seen;  // class name, and a message box's text
  ModalWatcher() {
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] { look(); });
    timer_.start();
  }

 private:
  void look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == handled_) return;
    if (!modal->isActiveWindow()) {
      modal->activateWindow();
      return;
    }
    handled_ = modal;
    QString what = QString::fromLatin1(modal->metaObject()->className());
    if (auto* box = qobject_cast<QMessageBox*>(modal)) what += QStringLiteral(" ") + box->text();
    seen << what;
    xdotool({"key", answerKey});
  }

  QTimer timer_;
  QPointer<QWidget> handled_;
};

class FunctionKeyTest : public DesktopFixture {
 protected:
  void attach(TForm1& form) override { installFeatures(form); }

  QWebEnginePage* homePage() { return tabView(*form_, 0)->page(); }
  QString pageKeys() { return pageValue(tabDocument(*form_, 0), "sessionStorage.getItem('qmKeys') || ''"); }
  void countPageKeys() {
    QWebEngineScript script;
    script.setName(QStringLiteral("key-counter"));
    script.setSourceCode(kKeyCounter);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    homePage()->scripts().insert(script);
    ASSERT_EQ(pageValue(tabDocument(*form_, 0), kKeyCounter), "counting");
  }
  QWidget* shownWindow(const char* className) {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && w->metaObject()->className() == QByteArray(className)) return w;
    return nullptr;
  }
  // Closes what the last row opened and gives the main window the keyboard
  // back, as the desktop does when the user clicks into it.
  void closeToolWindows() {
    bool closed = false;
    for (const char* name : {"qm::TForm2", "qm::TForm7"})
      if (QWidget* w = shownWindow(name)) {
        w->close();
        closed = true;
      }
    if (closed || !form_->isActiveWindow()) {
      xdotool({"windowfocus", QString::number(form_->winId())});
      QTest::qWaitFor([&] { return form_->isActiveWindow(); }, 3000);
    }
  }
  void clickInto(Place place) {
    QPoint at;
    std::function<bool()> arrived;  // the click has moved the keyboard there
    const auto inPage = [this] { return isInside(QApplication::focusWidget(), tabView(*form_, 0)); };
    switch (place) {
      case Place::PasswordBox:
        at = elementCentre(0, "input[name=_j_password]");
        arrived = [this, inPage] {
          return inPage() && pageValue(tabDocument(*form_, 0), "document.activeElement.name") == "_j_password";
        };
        break;
      case Place::Page:
        at = tabView(*form_, 0)->mapToGlobal(QPoint(8, tabView(*form_, 0)->height() - 8));
        arrived = inPage;
        break;
      case Place::AddressBox: {
        QLineEdit* edit = addressBox()->lineEdit();
        at = edit->mapToGlobal(edit->rect().center());
        arrived = [this] { return addressBox()->hasFocus(); };
        break;
      }
    }
    ASSERT_TRUE(clickAt(at));
    ASSERT_TRUE(test::waitUntil(arrived, 10000));
  }

  // Presses each key of the table with the keyboard in place. Each row
  // clicks into the place first; without clickFirst the first row takes the
  // keyboard where the last dialog left it.
  void pressRows(Place place, bool clickFirst) {
    for (const KeyRow& row : kRows) {
      SCOPED_TRACE(std::string(placeName(place)) + ", key " + row.key);
      if (clickFirst) {
        closeToolWindows();
        ASSERT_NO_FATAL_FAILURE(clickInto(place));
      }
      clickFirst = true;
      log_.lines.clear();
      watcher_.seen.clear();
      const int queryPages = requestsFor("GET", sim::RegSim::kQueryPagePath);
      const QString typedBefore = addressBox()->currentText();
      QSignalSpy reloads(homePage(), &QWebEnginePage::loadFinished);
      state_.stopRequested = false;

      ASSERT_TRUE(xdotool({"key", row.key}));
      auto trace = [&] { return log_.lines.join('\n').toStdString(); };
      switch (row.does) {
        case Does::Reload:
          EXPECT_TRUE(QTest::qWaitFor([&] { return reloads.count() > 0; }, kLongWait)) << trace();
          break;
        case Does::StopFlag:
          EXPECT_TRUE(QTest::qWaitFor([&] { return state_.stopRequested.load(); }, 10000)) << trace();
          break;
        case Does::Export: {
          // Before the login the export cannot read the query page and says
          // so; after it, the export asks for its selection.
          const QString expected = place == Place::PasswordBox
                                       ? QStringLiteral("QMessageBox ") + QStringLiteral("您还没有登录学籍网吧？或者您安装的Office是精简版？")
                                       : QStringLiteral("qm::TForm4");
          EXPECT_TRUE(QTest::qWaitFor([&] { return !watcher_.seen.isEmpty() && !QApplication::activeModalWidget(); },
                                      kLongWait))
              << trace();
          EXPECT_EQ(watcher_.seen.join('|'), expected);
          EXPECT_EQ(requestsFor("GET", sim::RegSim::kQueryPagePath), queryPages + 1);
          break;
        }
        case Does::ShowsToolWindow:
          EXPECT_TRUE(QTest::qWaitFor([&] { return shownWindow(row.window) != nullptr; }, 10000)) << trace();
          break;
        case Does::ModalClosedByEsc:
          EXPECT_TRUE(QTest::qWaitFor([&] { return !watcher_.seen.isEmpty() && !QApplication::activeModalWidget(); },
                                      10000))
              << trace();
          EXPECT_EQ(watcher_.seen.join('|'), row.window);
          EXPECT_EQ(shownWindow(row.window), nullptr);
          break;
        case Does::Types:
          if (place == Place::AddressBox) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return addressBox()->currentText() != typedBefore; }, 10000));
            EXPECT_TRUE(addressBox()->currentText().endsWith('a')) << addressBox()->currentText().toStdString();
          } else {
            EXPECT_TRUE(QTest::qWaitFor([&] { return pageKeys() == "[a]"; }, 10000)) << pageKeys().toStdString();
          }
          break;
      }
      QTest::qWait(200);  // a keydown the page did get has arrived by now
      if (row.does != Does::Types || place == Place::AddressBox)
        EXPECT_EQ(pageKeys(), "") << "the page saw the key\n" << trace();
      if (row.does == Does::Types && place != Place::AddressBox)
        pageValue(tabDocument(*form_, 0), "sessionStorage.removeItem('qmKeys'); document.activeElement.value = ''");
      EXPECT_FALSE(row.does != Does::StopFlag && state_.stopRequested);
    }
  }

  void logIn() {
    closeToolWindows();
    ASSERT_NO_FATAL_FAILURE(clickInto(Place::PasswordBox));
    // F5 reloaded the login page, which the login keeper fills only once.
    pageValue(tabDocument(*form_, 0), QStringLiteral("document.getElementsByName('_j_username')[0].value = '%1';"
                                                     "document.getElementsByName('_j_password')[0].value = ''")
                                          .arg(sim::RegSim::kUserName));
    ASSERT_TRUE(xdotool({"type", "--delay", "30", sim::RegSim::kPassword}));
    ASSERT_TRUE(xdotool({"key", "Return"}));
    ASSERT_TRUE(htmlContains(0, QStringLiteral("注销")));
    // What the page saw of the typing.
    pageValue(tabDocument(*form_, 0), "sessionStorage.removeItem('qmKeys')");
  }
  // The page asks, and the user answers with Enter in our box.
  void answerConfirm() {
    watcher_.answerKey = QStringLiteral("Return");
    pageValue(tabDocument(*form_, 0),
              "setTimeout(function () { document.title = confirm('确定审核通过？') ? 'agreed' : 'refused'; }, 0);"
              "'started'");
    ASSERT_TRUE(QTest::qWaitFor([&] { return homePage()->title() == "agreed"; }, kLongWait));
    watcher_.answerKey = QStringLiteral("Escape");
  }

  KeyLog log_;
  ModalWatcher watcher_;
};

TEST_F(FunctionKeyTest, BoundKeysActWhereverTheKeyboardIsInTheWindow) {
  ASSERT_TRUE(startedUp());
  ASSERT_NO_FATAL_FAILURE(countPageKeys());
  pressRows(Place::PasswordBox, true);

  ASSERT_NO_FATAL_FAILURE(logIn());
  ASSERT_NO_FATAL_FAILURE(answerConfirm());
  // Right after the box closed the user presses F5, then clicks into the page for each further key.
  pressRows(Place::Page, false);

  closeToolWindows();
  pressRows(Place::AddressBox, true);
}

}  // namespace
}  // namespace qm::desktop
