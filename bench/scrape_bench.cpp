// The page scrapes in the real window against an in-process regsim.
//  1. "抓取在校生" over P pages of 20 rows: wall time per page, against the
//     same pages turned by a script loop alone (click, then read the page box
//     until it shows the next number): the difference is what the scrape adds
//     (the page script, the cells, the file).
//  2. "抓取学生更多信息" over N students: students per second, against a bare
//     loop that posts the same three queries per student on one client.
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

// Turns the pages as the scrape does, without reading or writing anything.
double turnPages(qm::WebTab* tab, int pages) {
  const auto start = Clock::now();
  for (int k = 2; k <= pages; ++k) {
    js(tab, "document.getElementById('l5-gen59').click(); true;");
    // Read as the scrape reads it: at once, then every 5 ms.
    while (js(tab, "document.getElementById('l5-gen54').value").toString().toInt() < k) {
      QEventLoop pause;
      QTimer::singleShot(5, &pause, &QEventLoop::quit);
      pause.exec();
    }
  }
  return seconds(start);
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
    const double turned = turnPages(w.form->tab(1), pages);
    js(w.form->tab(1), "qmGridLoad(1); true;");
    waitFor([&] { return js(w.form->tab(1), "document.getElementById('l5-gen54').value").toString() == "1"; });
    waitFor([] { return false; }, 300);
    const double scraped = w.scrape("FlatButton7", dir.filePath("list.xls").toStdString());
    std::printf("list scrape: %d pages of 20 rows in %.3f s (%.1f ms/page)\n", pages, scraped, scraped * 1000 / pages);
    std::printf("  pages turned by a script loop alone: %.3f s (%.1f ms/page)\n", turned, turned * 1000 / pages);
    std::printf("  added by the scrape: %.1f ms/page\n", (scraped - turned) * 1000 / pages);
  }
  {
    qm::sim::RegSim sim({.students = students, .detailsLayout = true});
    if (!sim.start()) return 1;
    Window w;
    if (!w.open(sim, "l5-gen49")) return std::puts("the details page did not open"), 1;
    const double scraped = w.scrape("FlatButton23", dir.filePath("details.xls").toStdString());

    qm::HttpClient client("bare", 3000);
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
    std::printf("details export: %d students in %.3f s (%.0f students/s)\n", students, scraped, students / scraped);
    std::printf("  bare loop of the same 3 POSTs per student: %.3f s (%.0f students/s)\n", bare, students / bare);
    std::printf("  ratio export / bare loop: %.2f\n", scraped / bare);
  }
  return 0;
}
