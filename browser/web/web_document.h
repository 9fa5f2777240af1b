#pragma once
// Awaitable operations on the document of one page. Scripts run in the
// application world: they see the page's DOM, not its script variables.
// Every call answers an invalid QVariant when the page is gone, the page
// has no such element, or the script fails.
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QWebEnginePage>
#include <qcoro/qcorotask.h>

namespace qm {

class WebDocument {
 public:
  explicit WebDocument(QWebEnginePage* page = nullptr) : page_(page) {}

  bool isNull() const { return page_.isNull(); }
  QWebEnginePage* page() const { return page_; }

  // Runs script as given and answers its value.
  QCoro::Task<QVariant> run(const QString& script) const;

  QCoro::Task<QVariant> rootInnerHtml() const;                // the html element's innerHTML
  QCoro::Task<QVariant> readyState() const;                   // "loading", "interactive", "complete"
  QCoro::Task<QVariant> clickFirstByTag(const QString& tag) const;  // true when clicked
  QCoro::Task<QVariant> clickLinksByText(const QString& text) const;  // count of links clicked
  // Sets every INPUT whose name, ASCII letters upper-cased, equals upperName; count.
  QCoro::Task<QVariant> setInputsByName(const QString& upperName, const QString& value) const;
  QCoro::Task<QVariant> focusInput(int index) const;  // true when the INPUT exists

  // One element by id or name (several sharing it count as none).
  QCoro::Task<QVariant> elementText(const QString& key) const;  // innerText
  QCoro::Task<QVariant> elementHtml(const QString& key) const;  // innerHTML
  QCoro::Task<QVariant> elementValue(const QString& key) const;

  // The n-th table of the document, its rows and cells, all 0-based.
  QCoro::Task<QVariant> tableCount() const;
  QCoro::Task<QVariant> rowCount(int table) const;
  QCoro::Task<QVariant> cellText(int table, int row, int cell) const;
  QCoro::Task<QVariant> rowTexts(int table, int row) const;  // list of cell texts
  QCoro::Task<QVariant> tableTexts(int table) const;          // list of rows' lists

  // Script text calling function fn of the resource script group with args.
  static QString callScript(const QString& group, const QString& fn, const QVariantList& args);

 private:
  QCoro::Task<QVariant> call(const QString& group, const QString& fn, const QVariantList& args = {}) const;

  QPointer<QWebEnginePage> page_;
};

}  // namespace qm
