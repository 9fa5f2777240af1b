#include "browser/web/web_document.h"

#include <QFile>
#include <QFuture>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPromise>
#include <QWebEngineScript>
#include <memory>
#include <qcoro/qcorofuture.h>

static void initBrowserScripts() { Q_INIT_RESOURCE(browser_scripts); }

namespace qm {
namespace {

QString scriptSource(const QString& group) {
  static QHash<QString, QString> cache;
  auto it = cache.find(group);
  if (it != cache.end()) return *it;
  initBrowserScripts();
  QFile file(QStringLiteral(":/qm_browser/scripts/%1.js").arg(group));
  QString source = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  cache.insert(group, source);
  return source;
}

// One answer per call: the script's value, or an invalid QVariant when the
// page goes away first.
struct PendingResult {
  QPromise<QVariant> promise;
  bool settled = false;
  void settle(const QVariant& value) {
    if (settled) return;
    settled = true;
    promise.addResult(value);
    promise.finish();
  }
};

// Takes the page by QPointer so a page destroyed while we wait is noticed.
QCoro::Task<QVariant> runInPage(QPointer<QWebEnginePage> page, QString script) {
  if (!page || script.isEmpty()) co_return QVariant();
  auto pending = std::make_shared<PendingResult>();
  pending->promise.start();
  QFuture<QVariant> future = pending->promise.future();
  auto gone = QObject::connect(page, &QObject::destroyed, [pending] { pending->settle(QVariant()); });
  page->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                      [pending](const QVariant& value) { pending->settle(value); });
  QVariant value = co_await future;
  QObject::disconnect(gone);
  co_return value;
}

}  // namespace

QString WebDocument::callScript(const QString& group, const QString& fn, const QVariantList& args) {
  const QString source = scriptSource(group);
  if (source.isEmpty()) return {};
  const QString json = QString::fromUtf8(QJsonDocument(QJsonArray::fromVariantList(args)).toJson(QJsonDocument::Compact));
  return QStringLiteral("(function () {\nvar o = %1;\nreturn o.%2.apply(o, %3);\n})()").arg(source, fn, json);
}

QCoro::Task<QVariant> WebDocument::run(const QString& script) const { return runInPage(page_, script); }

QCoro::Task<QVariant> WebDocument::call(const QString& group, const QString& fn, const QVariantList& args) const {
  return runInPage(page_, callScript(group, fn, args));
}

QCoro::Task<QVariant> WebDocument::rootInnerHtml() const { return call("document", "rootInnerHtml"); }
QCoro::Task<QVariant> WebDocument::readyState() const { return call("document", "readyState"); }
QCoro::Task<QVariant> WebDocument::clickFirstByTag(const QString& tag) const {
  return call("document", "clickFirstByTag", {tag});
}
QCoro::Task<QVariant> WebDocument::clickLinksByText(const QString& text) const {
  return call("links", "clickByText", {text});
}
QCoro::Task<QVariant> WebDocument::setInputsByName(const QString& upperName, const QString& value) const {
  return call("inputs", "setByName", {upperName, value});
}
QCoro::Task<QVariant> WebDocument::focusInput(int index) const { return call("inputs", "focusAt", {index}); }
QCoro::Task<QVariant> WebDocument::elementText(const QString& key) const { return call("elements", "text", {key}); }
QCoro::Task<QVariant> WebDocument::elementHtml(const QString& key) const { return call("elements", "html", {key}); }
QCoro::Task<QVariant> WebDocument::elementValue(const QString& key) const {
  return call("elements", "value", {key});
}
QCoro::Task<QVariant> WebDocument::tableCount() const { return call("tables", "tableCount"); }
QCoro::Task<QVariant> WebDocument::rowCount(int table) const { return call("tables", "rowCount", {table}); }
QCoro::Task<QVariant> WebDocument::cellText(int table, int row, int cell) const {
  return call("tables", "cellText", {table, row, cell});
}
QCoro::Task<QVariant> WebDocument::rowTexts(int table, int row) const {
  return call("tables", "rowTexts", {table, row});
}
QCoro::Task<QVariant> WebDocument::tableTexts(int table) const { return call("tables", "tableTexts", {table}); }

}  // namespace qm
