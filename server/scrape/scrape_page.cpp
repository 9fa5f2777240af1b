#include "server/scrape/scrape_page.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

static void initScrapeScripts() { Q_INIT_RESOURCE(scrape_scripts); }

namespace qm {
namespace {

const QString& scrapeScript() {
  static const QString source = [] {
    initScrapeScripts();
    QFile file(QStringLiteral(":/qm_scrape/scripts/scrape.js"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }();
  return source;
}

std::optional<std::string> textOf(const QVariant& v) {
  if (v.typeId() != QMetaType::QString) return std::nullopt;
  return v.toString().toStdString();
}

}  // namespace

QString ScrapePage::callScript(const QString& fn, const QVariantList& args) {
  const QString json = QString::fromUtf8(QJsonDocument(QJsonArray::fromVariantList(args)).toJson(QJsonDocument::Compact));
  return QStringLiteral("(function () {\nvar o = %1;\nreturn o.%2.apply(o, %3);\n})()").arg(scrapeScript(), fn, json);
}

std::optional<PageTables> pageTablesFrom(const QVariant& answer) {
  if (answer.typeId() != QMetaType::QVariantList) return std::nullopt;
  PageTables tables;
  for (const QVariant& table : answer.toList()) {
    if (table.typeId() != QMetaType::QVariantList) {
      tables.emplace_back(std::nullopt);
      continue;
    }
    TableCells cells;
    for (const QVariant& cell : table.toList()) cells.push_back(textOf(cell));
    tables.emplace_back(std::move(cells));
  }
  return tables;
}

QCoro::Task<std::optional<std::string>> ScrapePage::text(const std::string& id) const {
  const QString script = callScript(QStringLiteral("text"), {QString::fromStdString(id)});
  const QVariant v = co_await document_.run(script);
  co_return textOf(v);
}

QCoro::Task<std::optional<std::string>> ScrapePage::value(const std::string& id) const {
  const QString script = callScript(QStringLiteral("value"), {QString::fromStdString(id)});
  const QVariant v = co_await document_.run(script);
  co_return textOf(v);
}

QCoro::Task<bool> ScrapePage::click(const std::string& id) const {
  const QString script = callScript(QStringLiteral("click"), {QString::fromStdString(id)});
  const QVariant v = co_await document_.run(script);
  co_return v.typeId() == QMetaType::Bool && v.toBool();
}

QCoro::Task<std::optional<ScrapePage::Progress>> ScrapePage::progress(const ScrapeLayout& layout) const {
  const QString script =
      callScript(QStringLiteral("progress"), {QString::fromStdString(layout.pageInputId),
                                              QString::fromStdString(layout.pagerTextId), layout.firstDataTable()});
  const QVariant v = co_await document_.run(script);
  if (v.typeId() != QMetaType::QVariantList) co_return std::nullopt;
  const QVariantList parts = v.toList();
  if (parts.size() != 3) co_return std::nullopt;
  Progress p;
  p.box = textOf(parts[0]);
  p.pagerText = parts[1].toString().toStdString();
  p.firstRow = parts[2].toString().toStdString();
  co_return p;
}

QCoro::Task<std::optional<PageTables>> ScrapePage::tables(const ScrapeLayout& layout, int from) const {
  const QString script = callScript(QStringLiteral("tables"),
                                    {from, layout.lastTable, layout.firstReadCell(), layout.lastCell, layout.firstCell});
  const QVariant v = co_await document_.run(script);
  co_return pageTablesFrom(v);
}

}  // namespace qm
