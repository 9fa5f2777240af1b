#pragma once
// One run of a page scrape on the document it took at its start: the page
// count, the file choice, the table loop page by page, the next-page click
// and the bounded wait, the stop flag, the details queries and the save. The
// run holds its tab's document: a main-frame navigation it did not ask for
// (a reload, a click, a session redirect) ends it, as a closed tab does. When
// such an ending or a page that does not come leaves rows read, the run asks
// whether to save them to the file chosen at the start. Its controller words
// the ending.
#include <QObject>
#include <QPointer>
#include <QCoro/QCoroTask>
#include <functional>
#include <memory>
#include <optional>

#include "browser/web/web_tab.h"
#include "common/notice.h"
#include "server/scrape/scrape_layout.h"

namespace qm {

class HttpClient;
class SaveTarget;
class WindowHost;

struct ScrapeHooks {
  // After a page's rows are in the sheet, before the next page is asked for.
  std::function<void(int page)> pageWritten;
  // The next page has come: the wait for it is over.
  std::function<void(int page)> pageArrived;
  // The wait for the next page ends the run when the page has shown no
  // progress (page box, pager text, first row) for this long.
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
    LeftPage,     // the tab went to another document
    Abandoned,    // the window went away: nothing to say
  };
  End end = End::Abandoned;
  int waitedPage = 0;   // the page that did not come (TimedOut)
  bool saved = false;   // TimedOut, TabClosed, LeftPage: the rows so far were saved
  std::optional<Notice> internalError;  // Failed by a programming error: shown in place of the layout's message
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
  bool lost() const { return tabClosed_ || !tab_ || leftPage_; }
  ScrapeResult::End lostEnd() const { return leftPage_ && !tabClosed_ && tab_ ? ScrapeResult::End::LeftPage
                                                                               : ScrapeResult::End::TabClosed; }
  void watchTab();
  void keepPageAwake(bool on);
  void pageVisibilityChanged(bool visible);

  WindowHost& host_;
  QPointer<WebTab> tab_;
  ScrapeLayout layout_;
  std::shared_ptr<HttpClient> client_;
  ScrapeHooks hooks_;
  bool tabClosed_ = false;
  bool leftPage_ = false;
  bool awake_ = false;
};

// "已抓取 N 条记录，是否保存？"
QString askSaveQuestion(int records);

}  // namespace qm
