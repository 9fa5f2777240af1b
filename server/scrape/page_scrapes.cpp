#include "server/scrape/page_scrapes.h"

#include <QPushButton>

#include "browser/web/web_tab.h"
#include "common/ui/window_host.h"
#include "net/http_client.h"
#include "server/scrape/pager_text.h"
#include "sheet/spreadsheet_file_choice.h"

namespace qm {

PageScrapes::PageScrapes(WindowHost& host)
    : QObject(host.window()), host_(host), IdHTTP3_(std::make_shared<HttpClient>("IdHTTP3", 3000)) {
  setObjectName(QStringLiteral("PageScrapes"));
  // The 3,000 ms read time-out starts once connected; connecting has its own limit.
  IdHTTP3_->setTimeLimits(kDetailsConnectTimeoutMs, 0);
  FlatButton7 = host.addButton(QStringLiteral("FlatButton7"), QStringLiteral("抓取在校生"), ButtonPlace::TopBar);
  FlatButton16 = host.addButton(QStringLiteral("FlatButton16"), QStringLiteral("抓取异动记录"), ButtonPlace::TopBar);
  FlatButton23 =
      host.addButton(QStringLiteral("FlatButton23"), QStringLiteral("抓取学生更多信息"), ButtonPlace::Hidden);
  connect(FlatButton7, &QPushButton::clicked, this, [this] { FlatButton7Click(); });
  connect(FlatButton16, &QPushButton::clicked, this, [this] { FlatButton16Click(); });
  connect(FlatButton23, &QPushButton::clicked, this, [this] { FlatButton23Click(); });
  host.onTabClosing(this, [this](WebTab* tab) {
    if (run_ && run_->tab() == tab) run_->tabClosing();
  });
}

PageScrapes::~PageScrapes() = default;

bool PageScrapes::begin() {
  if (busy_) return false;
  busy_ = true;
  for (QPushButton* b : {FlatButton7, FlatButton16, FlatButton23}) b->setEnabled(false);
  return true;
}

void PageScrapes::end() {
  busy_ = false;
  for (QPushButton* b : {FlatButton7, FlatButton16, FlatButton23}) b->setEnabled(true);
  emit finished();
}

void PageScrapes::say(const std::string& text, PromptIcon icon) {
  host_.prompts().message(QString::fromStdString(text), kAppTitle, icon);
}

QCoro::Task<> PageScrapes::FlatButton7Click() {
  if (!begin()) co_return;
  co_await runScrape(inSchoolListLayout(), false);
}

QCoro::Task<> PageScrapes::FlatButton23Click() {
  if (!begin()) co_return;
  co_await runScrape(studentDetailsLayout(), true);
}

QCoro::Task<> PageScrapes::FlatButton16Click() {
  if (!begin()) co_return;
  QPointer<PageScrapes> self(this);
  // The user type decides which audit layout the current tab shows.
  const WebDocument home = host_.homeTab()->document();
  const QVariant html = co_await home.rootInnerHtml();
  if (!self) co_return;
  const std::optional<int> userType =
      html.typeId() == QMetaType::QString ? userTypeFromHomePage(html.toString().toStdString()) : std::nullopt;
  if (!userType) {
    say(auditStartFailedMessage(), PromptIcon::None);
    end();
    co_return;
  }
  co_await runScrape(auditListLayout(*userType), false);
}

QCoro::Task<> PageScrapes::runScrape(ScrapeLayout layout, bool details) {
  QPointer<PageScrapes> self(this);
  QPointer<PageScrapeRun> run =
      new PageScrapeRun(host_, host_.activeTab(), layout, details ? IdHTTP3_ : nullptr, hooks, this);
  run_ = run;
  SpreadsheetFileChoice target(host_.prompts());
  const ScrapeResult result = co_await run->run(target);
  if (!self) co_return;
  delete run.data();

  using End = ScrapeResult::End;
  if (result.internalError) {
    const Notice& n = *result.internalError;
    host_.prompts().message(QString::fromStdString(n.text), QString::fromStdString(n.title), n.icon);
    end();
    co_return;
  }
  switch (result.end) {
    case End::Saved:
      say(kScrapeDoneMessage, PromptIcon::Information);
      break;
    case End::StartFailed:
      say(layout.startFailedMessage, PromptIcon::None);
      break;
    case End::Failed:
      say(layout.exportFailedMessage, PromptIcon::Error);
      break;
    case End::TimedOut:
      say(nextPageTimeoutMessage(result.waitedPage, (hooks.nextPageTimeoutMs + 999) / 1000), PromptIcon::Error);
      break;
    case End::TabClosed:
      say(kScrapeTabClosedMessage, PromptIcon::Error);
      break;
    case End::LeftPage:
      say(kScrapeLeftPageMessage, PromptIcon::Error);
      break;
    case End::Cancelled:
    case End::Abandoned:
      break;
  }
  end();
}

PageScrapes* installPageScrapes(WindowHost& host) { return new PageScrapes(host); }

}  // namespace qm
