#pragma once
// One tab of the browser: its sheet in the tab control, the view and the page
// it owns, and the state a run keeps on the tab it works on.
#include <QWidget>

#include "browser/web/web_document.h"

class QWebEngineProfile;
class QWebEngineView;

namespace qm {

class Prompts;
class WebPage;

inline constexpr const char* kBusyTabQuestion = "此网页正在抓取数据，离开将停止抓取。是否继续？";

class WebTab : public QWidget {
  Q_OBJECT
 public:
  // The page shows its dialogs through prompts.
  WebTab(QWebEngineProfile* profile, Prompts& prompts, QWidget* parent = nullptr);

  QWebEngineView* view() const { return view_; }
  WebPage* page() const { return page_; }
  WebDocument document() const;

  // A scrape that took this tab holds it until it ends; loading another
  // page there (Enter in the address box, 刷新, F5) asks kBusyTabQuestion first.
  bool busy() const { return busy_; }
  void setBusy(bool on) { busy_ = on; }

 private:
  QWebEngineView* view_ = nullptr;
  WebPage* page_ = nullptr;
  bool busy_ = false;
};

}  // namespace qm
