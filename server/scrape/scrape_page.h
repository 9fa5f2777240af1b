#pragma once
// The document of the tab a scrape took, through the scrape's own script:
// pager texts and values, the next-page click, and a page's grid rows read
// with one script per page (the same texts as reading cell by cell).
#include <QString>
#include <QVariant>
#include <QCoro/QCoroTask>
#include <optional>

#include "browser/web/web_document.h"
#include "server/scrape/scrape_sheet.h"

namespace qm {

class ScrapePage {
 public:
  explicit ScrapePage(WebDocument document) : document_(std::move(document)) {}

  // Nothing when the page is gone or has no such element.
  QCoro::Task<std::optional<std::string>> text(const std::string& id) const;
  QCoro::Task<std::optional<std::string>> value(const std::string& id) const;
  // False when there is no such element.
  QCoro::Task<bool> click(const std::string& id) const;
  // One look at a page that is turning: the page box's value and the texts
  // that change while it works. Nothing when the page is gone.
  struct Progress {
    std::optional<std::string> box;  // nothing without the box
    std::string pagerText;
    std::string firstRow;
  };
  QCoro::Task<std::optional<Progress>> progress(const ScrapeLayout& layout) const;
  // Tables from `from` to the layout's last one, each as the cells the layout
  // reads; the walk ends after the first end-of-rows table. Nothing when the
  // page is gone.
  QCoro::Task<std::optional<PageTables>> tables(const ScrapeLayout& layout, int from) const;

  // Script text calling fn of the scrape script with args.
  static QString callScript(const QString& fn, const QVariantList& args);

 private:
  WebDocument document_;
};

// The page's answer as tables; nothing when it is not a list.
std::optional<PageTables> pageTablesFrom(const QVariant& answer);

}  // namespace qm
