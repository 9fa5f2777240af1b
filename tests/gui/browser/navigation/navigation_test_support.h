#pragma once
// The window as the program builds it, on an in-process RegSim, with what
// the navigation tests look at: the navigation and the login keeper, and
// which element a click reached.
#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>
#include <optional>

#include "browser/navigation/login_keeper.h"
#include "browser/navigation/navigation.h"
#include "tests/support/main_window_fixture.h"

namespace qm::navtest {

using test::awaitDone;
using test::awaitTask;
using test::kLongWait;
using test::waitUntil;

class NavigationWindowTest : public test::ProgramWindowFixture {
 public:
  void SetUp() override { writeSettings(std::nullopt); }

  // Settings file with the login name; nullopt leaves the key out.
  void writeSettings(const std::optional<std::string>& loginName) {
    QFile::remove(QString::fromStdString(settingsFile()));
    writeSetting(kProvinceSection, kProvinceKey, "99");
    if (loginName) writeSetting(kLoginSection, kLoginKey, *loginName);
  }

  void install(TForm1& form) override {
    test::ProgramWindowFixture::install(form);
    recordClicks(form);
  }

  Navigation& navigation() { return *form_->findChild<Navigation*>(); }
  LoginKeeper& keeper() { return *form_->findChild<LoginKeeper*>(); }

  // What the page's click listener saw: the id of the element clicked.
  QString clickedId(int slot) {
    return js(slot, "document.documentElement.getAttribute('data-qm-clicked') || ''").toString();
  }

  QString requestedPath(int slot) {
    QWebEngineView* view = tabView(*form_, slot);
    return view ? view->page()->requestedUrl().path() : QString();
  }

 private:
  // Every page of the window records which element a click reached, so a
  // test sees the click that the page itself does not answer.
  static void recordClicks(TForm1& form) {
    QWebEngineScript script;
    script.setName("qm-record-clicks");
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setSourceCode(
        "document.addEventListener('click', function (e) {"
        "  document.documentElement.setAttribute('data-qm-clicked', e.target.id || e.target.tagName);"
        "}, true);");
    form.profile()->scripts()->insert(script);
  }
};

}  // namespace qm::navtest
