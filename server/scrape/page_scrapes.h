#pragma once
// The main window's page scrapes: "抓取在校生" (FlatButton7), "抓取异动记录"
// (FlatButton16) and the hidden "抓取学生更多信息" (FlatButton23), which owns
// the window's IdHTTP3. One scrape runs at a time; it keeps the tab that was
// current when it started.
#include <QObject>
#include <QPointer>
#include <QCoro/QCoroTask>
#include <memory>

#include "common/ui/prompts.h"
#include "server/scrape/page_scrape_run.h"

class QPushButton;

namespace qm {

class HttpClient;
class WindowHost;

inline constexpr long kDetailsConnectTimeoutMs = 20000;

class PageScrapes : public QObject {
  Q_OBJECT
 public:
  explicit PageScrapes(WindowHost& host);
  ~PageScrapes() override;

  QCoro::Task<> FlatButton7Click();
  QCoro::Task<> FlatButton16Click();
  QCoro::Task<> FlatButton23Click();

  HttpClient& IdHTTP3() { return *IdHTTP3_; }
  bool running() const { return busy_; }
  PageScrapeRun* currentRun() const { return run_; }

  // Passed to every run (tests shorten the wait or act between pages).
  ScrapeHooks hooks;

 signals:
  // After every ending of a run, also one refused at its start.
  void finished();

 private:
  // Refuses a second start; false when one is running.
  bool begin();
  void end();
  QCoro::Task<> runScrape(ScrapeLayout layout, bool details);
  void say(const std::string& text, PromptIcon icon);

  WindowHost& host_;
  QPushButton* FlatButton7 = nullptr;
  QPushButton* FlatButton16 = nullptr;
  QPushButton* FlatButton23 = nullptr;
  // Shared with a running query, which keeps it until the query has ended.
  std::shared_ptr<HttpClient> IdHTTP3_;
  QPointer<PageScrapeRun> run_;
  bool busy_ = false;
};

// Creates the controller as a child of the window.
PageScrapes* installPageScrapes(WindowHost& host);

}  // namespace qm
