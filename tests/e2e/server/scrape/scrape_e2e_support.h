#pragma once
// The real main window with the program's features on an in-process regsim,
// logged in through the page, a list page opened as the user opens it, and
// the page scrapes' controller it carries.
#include <QFile>
#include <QSignalSpy>

#include "server/scrape/page_scrapes.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/sheet_readers.h"

namespace qm::e2e {

using test::kLongWait;
using test::waitUntil;
inline const QString kDone = QStringLiteral("导出成功！");

class ScrapeWindowTest : public test::ProgramWindowFixture {
 public:
  PageScrapes& scrapes() { return *form_->findChild<PageScrapes*>(); }

  int gridRequests(int page) const {
    int n = 0;
    const std::string want = "page=" + std::to_string(page);
    for (const auto& r : sim_->requests())
      if (r.path == sim::RegSim::kGridFragmentPath && r.target.size() >= want.size() &&
          r.target.compare(r.target.size() - want.size(), want.size(), want) == 0)
        ++n;
    return n;
  }

  // Opens the list page as its top-bar button does ("查询在校生" or "异动审核")
  // and waits until the page shows its grid and the navigation's click on its
  // first button has reloaded page 1.
  void openListPage(const char* navButton, const char* pagerId) {
    const int before = form_->LastTabIndex();
    button(navButton)->click();
    ASSERT_TRUE(waitUntil([&] { return form_->LastTabIndex() == before + 1; }));
    const int slot = form_->LastTabIndex();
    ASSERT_TRUE(waitForHtml(slot, QString::fromLatin1(pagerId)));
    ASSERT_TRUE(waitUntil([&] { return gridRequests(1) > 0; }));
    // The page has the answer to that reload (a resource entry is made when it has arrived).
    ASSERT_TRUE(waitUntil([&] {
      return js(slot, QStringLiteral("performance.getEntriesByType('resource').some(function (e) {"
                                     "  return /[?&]page=1$/.test(e.name) && e.responseEnd > 0; })"))
          .toBool();
    }));
    ASSERT_EQ(form_->ActiveTabIndex(), slot);
  }

  void writeOld(const std::string& file) {
    QFile old(QString::fromStdString(file));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old export");
  }
  QByteArray contents(const std::string& file) {
    QFile f(QString::fromStdString(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  // Presses the button (or runs the hidden handler) and waits for the run's end.
  bool runScrape(const char* name) {
    QSignalSpy ended(&scrapes(), &PageScrapes::finished);
    if (QString::fromLatin1(name) == QLatin1String("FlatButton23"))
      scrapes().FlatButton23Click();
    else
      button(name)->click();
    return ended.count() > 0 || ended.wait(kLongWait);
  }
};

}  // namespace qm::e2e
