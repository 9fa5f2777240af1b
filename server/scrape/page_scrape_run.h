#pragma once
// One run of a page scrape on the tab it took at its start: the page count,
// the file choice, the table loop page by page, the next-page click and the
// bounded wait, the stop flag, the details queries and the save. The run
// shows no message itself; its controller words the ending.
#include <QObject>
#include <QPointer>
#include <QCoro/QCoroTask>
#include <functional>
#include <memory>

#include "browser/web/web_tab.h"
#include "server/scrape/scrape_layout.h"

namespace qm {

class HttpClient;
class SaveTarget;
class WindowHost;

struct ScrapeHooks {
  // After a page's rows are in the sheet, before the next page is asked for.
  std::function<void(int page)> pageWritten;
  // The wait for the next page ends the run when the page number has not
  // advanced for this long.
  int nextPageTimeoutMs = 30000;
  int pollIntervalMs = 5;
};

struct ScrapeResult {
  enum class End {
    Saved,        // "导出成功！"
    Cancelled,    // at the file choice, which said what it had to
    StartFailed,  // before the file choice: the layout's first message
    Failed,       // from the file choice on: the layout's failure message
    TimedOut,     // the next page did not come
    TabClosed,    // the tab the run took was closed
    Abandoned,    // the window went away: nothing to say
  };
  End end = End::Abandoned;
  int waitedPage = 0;  // the page that did not come (TimedOut)
};

class PageScrapeRun : public QObject {
  Q_OBJECT
 public:
  // A details run sends its queries on `client`; the other runs pass none.
  PageScrapeRun(WindowHost& host, WebTab* tab, ScrapeLayout layout, std::shared_ptr<HttpClient> client,
                ScrapeHooks hooks, QObject* parent);
  ~PageScrapeRun() override;

  QCoro::Task<ScrapeResult> run(SaveTarget& target);

  WebTab* tab() const { return tab_; }
  // The controller's word that the run's tab is closing.
  void tabClosing() { tabClosed_ = true; }

 private:
  QCoro::Task<bool> waitForPage(int page, bool& timedOut);
  bool lost() const { return tabClosed_ || !tab_; }

  WindowHost& host_;
  QPointer<WebTab> tab_;
  ScrapeLayout layout_;
  std::shared_ptr<HttpClient> client_;
  ScrapeHooks hooks_;
  bool tabClosed_ = false;
};

}  // namespace qm
