// The page scrapes in the real window against an in-process regsim.
//  1. "抓取在校生" over P pages of 20 rows: wall time per page, against the
//     time the scrape itself spends waiting for its page turns (from the
//     next-page click to the page box showing the page): the difference is
//     what the scrape adds (the page script, the cells, the file).
//  2. "抓取学生更多信息" over N students: students per second, against a bare
//     loop that posts the same three queries per student on one client,
//     byte for byte the same requests (checked on regsim's request log).
//   scrape_bench [pages] [students]
#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <unistd.h>

#include "app/features.h"
#include "bench/bench_support.h"
#include "browser/main_window.h"
#include "browser/web/web_tab.h"
#include "common/app_state.h"
#include "common/ui/scripted_prompts.h"
#include "net/http_client.h"
#include "server/scrape/page_scrapes.h"
#include "server/scrape/student_details.h"
#include "sim/regsim.h"

using bench::Clock;
using bench::seconds;

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 60000) {
  const auto start = Clock::now();
  while (!done()) {
    if (seconds(start) * 1000 > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ::usleep(200);
  }
  return true;
}

// Runs the event loop until the script's answer is in.
QVariant js(qm::WebTab* tab, const QString& script) {
  auto result = std::make_shared<std::optional<QVariant>>();
  QEventLoop loop;
  auto task = tab->document().run(script).then([result, &loop](QVariant v) {
    *result = std::move(v);
    loop.quit();
  });
  if (!result->has_value()) loop.exec();
  return result->value_or(QVariant());
}

int gridRequests(const qm::sim::RegSim& sim) {
  int n = 0;
  for (const auto& r : sim.requests()) n += r.path == qm::sim::RegSim::kGridFragmentPath;
  return n;
}

struct Window {
  qm::AppState state;
  qm::ScriptedPrompts prompts;
  std::unique_ptr<qm::TForm1> form;

  bool open(qm::sim::RegSim& sim, const char* pagerId) {
    state.serverHost = sim.host();
    form = std::make_unique<qm::TForm1>(state, prompts);
    qm::installFeatures(*form);
    form->show();
    if (!waitFor([&] { return js(form->tab(0), "document.documentElement.innerHTML").toString().contains("_j_username"); }))
      return false;
    js(form->tab(0), "document.getElementsByName('_j_username')[0].value = 'demo';"
                     "document.getElementsByName('_j_password')[0].value = 'demo123'; document.forms[0].submit(); true;");
    if (!waitFor([&] { return js(form->tab(0), "document.documentElement.innerHTML").toString().contains("注销"); }))
      return false;
    form->findChild<QPushButton*>("FlatButton4")->click();
    if (!waitFor([&] { return form->LastTabIndex() == 1 &&
                              js(form->tab(1), "document.documentElement.innerHTML").toString().contains(pagerId); }))
      return false;
    if (!waitFor([&] { return gridRequests(sim) > 0; })) return false;
    waitFor([] { return false; }, 300);
    return true;
  }

  double scrape(const char* button, const std::string& file) {
    prompts.fileNames = {QString::fromStdString(file)};
    qm::PageScrapes* scrapes = form->findChild<qm::PageScrapes*>();
    QEventLoop loop;
    QObject::connect(scrapes, &qm::PageScrapes::finished, &loop, &QEventLoop::quit);
    const auto start = Clock::now();
    if (QString(button) == "FlatButton23")
      scrapes->FlatButton23Click();
    else
      form->findChild<QPushButton*>(button)->click();
    if (scrapes->running()) loop.exec();
    const double s = seconds(start);
    if (prompts.lastMessage() != QStringLiteral("导出成功！"))
      std::printf("  the scrape ended with: %s\n", prompts.lastMessage().toUtf8().constData());
    return s;
  }
};

// The POSTs regsim received: their count and bytes (head and body), without
// the Cookie line, whose session differs between the two loops.
struct Sent {
  std::size_t posts = 0, bytes = 0;
};
Sent postsSince(const qm::sim::RegSim& sim, std::size_t from) {
  Sent out;
  const auto requests = sim.requests();
  for (std::size_t i = from; i < requests.size(); ++i) {
    const auto& r = requests[i];
    if (r.method != "POST") continue;
    ++out.posts;
    std::string head = r.head;
    const auto at = head.find("\r\nCookie:");
    if (at != std::string::npos) head.erase(at, head.find("\r\n", at + 2) - at);
    out.bytes += head.size() + r.body.size();
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  const int pages = argc > 1 ? std::atoi(argv[1]) : 100;
  const int students = argc > 2 ? std::atoi(argv[2]) : 200;
  QTemporaryDir dir;

  {
    qm::sim::RegSim sim({.students = pages * 20, .gridRows = pages * 20});
    if (!sim.start()) return 1;
    Window w;
    if (!w.open(sim, "l5-gen55")) return std::puts("the list page did not open"), 1;
    // The baseline is the page turns this scrape waits for: each wait runs
    // from the page's last row written to the next page's box showing it.
    qm::PageScrapes* scrapes = w.form->findChild<qm::PageScrapes*>();
    double waited = 0;
    Clock::time_point written = Clock::now();
    scrapes->hooks.pageWritten = [&](int) { written = Clock::now(); };
    scrapes->hooks.pageArrived = [&](int) { waited += seconds(written); };
    const double scraped = w.scrape("FlatButton7", dir.filePath("list.xls").toStdString());
    std::printf("list scrape: %d pages of 20 rows in %.3f s (%.1f ms/page)\n", pages, scraped, scraped * 1000 / pages);
    std::printf("  waiting for its page turns: %.3f s (%.1f ms/page)\n", waited, waited * 1000 / pages);
    std::printf("  added by the scrape: %.1f ms/page\n", (scraped - waited) * 1000 / pages);
  }
  {
    qm::sim::RegSim sim({.students = students, .detailsLayout = true});
    if (!sim.start()) return 1;
    Window w;
    if (!w.open(sim, "l5-gen49")) return std::puts("the details page did not open"), 1;
    const std::size_t before = sim.requests().size();
    const double scraped = w.scrape("FlatButton23", dir.filePath("details.xls").toStdString());
    const Sent exported = postsSince(sim, before);

    // The export's client as the export sets it up.
    qm::HttpClient client("bare", 3000);
    client.setTimeLimits(qm::kDetailsConnectTimeoutMs, 0);
    const std::size_t bareFrom = sim.requests().size();
    qm::setStudentDetailHeaders(client, sim.loginCookie());
    const std::string base = "http://" + sim.host();
    const auto start = Clock::now();
    for (const auto& s : sim.students()) {
      const std::string body = qm::studentQueryBody(s.xsJbxxId);
      client.headers().referer = qm::studentDetailReferer(sim.host(), s.xsJbxxId, sim.school().xxmc);
      client.post(base + std::string(qm::kStudentDetailPath), body);
      client.post(base + std::string(qm::kFamilyPath), body);
      client.headers().referer = base + std::string(qm::kDetailsListPath);
      client.post(base + std::string(qm::kClassPath), qm::classQueryBody(s.xxBjxxId));
    }
    const double bare = seconds(start);
    const Sent loop = postsSince(sim, bareFrom);
    if (loop.posts != exported.posts || loop.bytes != exported.bytes)
      std::printf("  the two loops sent different requests: %zu POSTs, %zu bytes against %zu, %zu\n", exported.posts,
                  exported.bytes, loop.posts, loop.bytes);
    std::printf("details export: %d students in %.3f s (%.0f students/s)\n", students, scraped, students / scraped);
    std::printf("  bare loop of the same 3 POSTs per student: %.3f s (%.0f students/s)\n", bare, students / bare);
    std::printf("  ratio export / bare loop: %.2f\n", scraped / bare);
  }
  return 0;
}
