#include "browser/web/web_tab.h"

#include <QVBoxLayout>
#include <QWebEngineView>

#include "browser/web/web_page.h"

namespace qm {

WebTab::WebTab(QWebEngineProfile* profile, Prompts& prompts, QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  view_ = new QWebEngineView(this);
  page_ = new WebPage(profile, prompts, view_);
  view_->setPage(page_);
  layout->addWidget(view_);
}

WebDocument WebTab::document() const { return WebDocument(page_); }

}  // namespace qm
