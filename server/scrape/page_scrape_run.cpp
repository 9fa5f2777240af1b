#include "server/scrape/page_scrape_run.h"

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTimer>
#include <QElapsedTimer>
#include <QWebEngineNavigationRequest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <chrono>
#include <stdexcept>

#include "browser/web/web_page.h"
#include "browser/web/web_tab.h"
#include "common/log_categories.h"
#include "common/app_state.h"
#include "common/ui/prompts.h"
#include "common/trim.h"
#include "common/ui/window_host.h"
#include "net/async_request.h"
#include "net/http_client.h"
#include "server/scrape/pager_text.h"
#include "server/scrape/scrape_page.h"
#include "server/scrape/scrape_sheet.h"
#include "server/scrape/student_details.h"
#include "sheet/save_target.h"
#include "sheet/spreadsheet_export.h"

namespace qm {
namespace {

using End = ScrapeResult::End;

QString statusText(int count) { return QStringLiteral("已导出记录条数：") + QString::number(count); }

constexpr qint64 kCountRepaintMs = 100;

}  // namespace

PageScrapeRun::PageScrapeRun(WindowHost& host, WebTab* tab, ScrapeLayout layout, std::shared_ptr<HttpClient> client,
                             ScrapeHooks hooks, QObject* parent)
    : QObject(parent), host_(host), tab_(tab), layout_(std::move(layout)), client_(std::move(client)),
      hooks_(std::move(hooks)) {
  if (tab_) tab_->setBusy(true);
  watchTab();
}

PageScrapeRun::~PageScrapeRun() {
  keepPageAwake(false);
  if (tab_) tab_->setBusy(false);
}

void PageScrapeRun::watchTab() {
  if (!tab_ || !tab_->page()) return;
  // Cross-document loads of the main frame only: the pager pages in place,
  // and frames or in-page changes leave the list where it is.
  connect(tab_->page(), &QWebEnginePage::navigationRequested, this, [this](QWebEngineNavigationRequest& request) {
    if (request.isMainFrame()) leftPage_ = true;
  });
}

void PageScrapeRun::keepPageAwake(bool on) {
  // Chromium throttles the timers of a hidden page, which can slow its own
  // paging past the wait's limit when the user is on another tab. The view
  // marks its page hidden when the tab goes to the back; while the run lasts
  // the page is told it is still shown.
  if (!tab_ || !tab_->page() || on == awake_) return;
  awake_ = on;
  QWebEnginePage* page = tab_->page();
  if (on) {
    connect(page, &QWebEnginePage::visibleChanged, this, &PageScrapeRun::pageVisibilityChanged,
            Qt::QueuedConnection);
    page->setVisible(true);
  } else {
    disconnect(page, &QWebEnginePage::visibleChanged, this, &PageScrapeRun::pageVisibilityChanged);
    if (tab_->view() && !tab_->view()->isVisible()) page->setVisible(false);
  }
}

void PageScrapeRun::pageVisibilityChanged(bool visible) {
  if (awake_ && !visible && tab_ && tab_->page()) tab_->page()->setVisible(true);
}

QCoro::Task<bool> PageScrapeRun::waitForPage(int page, bool& timedOut) {
  QPointer<PageScrapeRun> self(this);
  AppState& state = host_.state();
  const ScrapePage doc(tab_->document());
  const bool clicked = co_await doc.click(layout_.nextButtonId);
  if (!self || lost()) co_return false;
  if (!clicked) throw std::runtime_error("the page has no next-page button");
  QElapsedTimer clock;
  clock.start();
  std::optional<ScrapePage::Progress> last;
  for (;;) {
    const std::optional<ScrapePage::Progress> now = co_await doc.progress(layout_);
    if (!self || lost()) co_return false;
    const std::optional<int> shown = now && now->box ? wholeNumber(trimLowView(*now->box)) : std::nullopt;
    if (!shown) throw std::runtime_error("the page-number box holds no number");
    if (*shown >= page) {
      if (hooks_.pageArrived) hooks_.pageArrived(page);
      co_return true;
    }
    // "停止抓取" while we wait: the rows so far are saved.
    if (state.stopRequested) co_return true;
    // A page at work (new rows, a new pager text) gets a full wait again.
    if (last && (now->pagerText != last->pagerText || now->firstRow != last->firstRow)) clock.restart();
    last = now;
    if (clock.elapsed() >= hooks_.nextPageTimeoutMs) {
      timedOut = true;
      co_return false;
    }
    co_await QCoro::sleepFor(std::chrono::milliseconds(hooks_.pollIntervalMs));
    if (!self || lost()) co_return false;
  }
}

QCoro::Task<ScrapeResult> PageScrapeRun::run(SaveTarget& target) {
  QPointer<PageScrapeRun> self(this);
  ScrapeResult result;
  if (!tab_) {
    result.end = End::StartFailed;
    co_return result;
  }
  AppState& state = host_.state();
  const std::string serverHost = state.serverHost;
  const ScrapePage doc(tab_->document());

  // The page count, read once from the page the run took.
  const std::optional<std::string> pager = co_await doc.text(layout_.pagerTextId);
  if (!self) co_return result;
  if (lost()) {
    result.end = lostEnd();
    co_return result;
  }
  const std::optional<int> pages = pager ? pageCountFromPagerText(*pager) : std::nullopt;
  if (!pages) {
    result.end = End::StartFailed;
    co_return result;
  }
  if (client_) setStudentDetailHeaders(*client_, host_.cookieText());

  const std::optional<std::string> file = target.choose();
  if (!self) co_return result;
  if (!file) {
    result.end = End::Cancelled;
    co_return result;
  }

  SpreadsheetExport out(*file);
  std::optional<ScrapeSheet> sheet;
  auto fail = [&](End end) {
    state.stopRequested = false;
    out.quit();
    if (client_) client_->disconnect();
    result.end = end;
    return result;
  };
  // The run cannot go on, but what it read need not be lost: Yes saves the
  // rows so far to the file chosen at the start.
  auto keepWhatWasRead = [&](End end) {
    state.stopRequested = false;
    result.end = end;
    const int records = sheet ? sheet->written() : 0;
    if (records > 0 && host_.prompts().question(askSaveQuestion(records))) {
      try {
        out.save();
        result.saved = true;
      } catch (...) {
        logCaughtException(lcScrape(), "scrape, save");
        result.end = End::Failed;
      }
    }
    out.quit();
    if (client_) client_->disconnect();
    return result;
  };
  try {
    if (lost()) co_return fail(lostEnd());
    out.startWorkbook();
    sheet.emplace(out, layout_, out.version());
    keepPageAwake(true);
    state.stopRequested = false;
    bool stopped = false;
    QString shownCount;
    QElapsedTimer countShown;
    for (;;) {
      const std::optional<PageTables> tables = co_await doc.tables(layout_, sheet->table());
      if (!self) co_return result;
      if (lost()) co_return keepWhatWasRead(lostEnd());
      if (!tables) throw std::runtime_error("the page gave no tables");
      if (!client_) {
        sheet->writePage(*tables);
        // Also after an empty list: the count of an earlier export must not stay.
        host_.setPanelText(1, statusText(sheet->written()));
      } else {
        // Details: three queries after every student row, the stop flag
        // read after every row.
        std::size_t next = 0;
        while (!sheet->pageDone()) {
          if (next >= tables->size()) throw std::runtime_error("the page has too few tables");
          const std::optional<TableCells>& cells = (*tables)[next++];
          const ScrapeSheet::Visit visit = sheet->visit(cells);
          if (visit == ScrapeSheet::Visit::Student) {
            const std::size_t idAt = static_cast<std::size_t>(layout_.idCell - layout_.firstReadCell());
            const std::size_t schoolAt = static_cast<std::size_t>(layout_.schoolCell - layout_.firstReadCell());
            if (idAt >= cells->size() || !(*cells)[idAt] || schoolAt >= cells->size() || !(*cells)[schoolAt])
              throw std::runtime_error("a student row lacks its identifier or school");
            std::shared_ptr<HttpClient> client = client_;
            std::function<std::vector<std::string>()> job = [client, serverHost, id = *(*cells)[idAt],
                                                              school = *(*cells)[schoolAt]] {
              return fetchStudentDetails(*client, serverHost, id, school);
            };
            QFuture<std::vector<std::string>> fetched = runOnWorker(*client, std::move(job));
            const std::vector<std::string> values = co_await fetched;
            if (!self) co_return result;
            // The row is complete before a lost tab is looked at: it is one of those kept.
            sheet->writeExtra(values);
            if (lost()) co_return keepWhatWasRead(lostEnd());
          }
          // Every row's count, but the window repaints at most every 100 ms: a
          // repaint makes the web view's page draw a frame, which cost more than
          // the three queries of a row.
          if (visit != ScrapeSheet::Visit::EndOfPage) {
            shownCount = statusText(sheet->written());
            if (!countShown.isValid() || countShown.elapsed() >= kCountRepaintMs) {
              host_.setPanelText(1, shownCount);
              countShown.start();
            }
          }
          sheet->finishTable();
          if (state.stopRequested) {
            stopped = true;
            break;
          }
        }
      }
      if (!shownCount.isEmpty()) host_.setPanelText(1, shownCount);
      out.rowsDone(sheet->row());
      if (hooks_.pageWritten) hooks_.pageWritten(sheet->page());
      if (!self) co_return result;
      if (lost()) co_return keepWhatWasRead(lostEnd());
      if (stopped || sheet->sheetFull()) break;

      if (sheet->page() < *pages) {
        bool timedOut = false;
        const bool arrived = co_await waitForPage(sheet->page() + 1, timedOut);
        if (!self) co_return result;
        if (lost()) co_return keepWhatWasRead(lostEnd());
        if (!arrived) {
          result.waitedPage = sheet->page() + 1;
          if (timedOut) co_return keepWhatWasRead(End::TimedOut);
          co_return fail(End::Failed);
        }
      }
      sheet->nextPage();
      if (sheet->page() > *pages || state.stopRequested) break;
    }
    state.stopRequested = false;
    out.save();
    out.quit();
    if (client_) client_->disconnect();
    result.end = End::Saved;
  } catch (...) {
    std::optional<Notice> internal = caughtInternalError(lcScrape(), "scrape");
    if (!self) co_return result;
    result.internalError = std::move(internal);
    co_return fail(End::Failed);
  }
  co_return result;
}

QString askSaveQuestion(int records) {
  return QStringLiteral("已抓取 ") + QString::number(records) + QStringLiteral(" 条记录，是否保存？");
}

}  // namespace qm
