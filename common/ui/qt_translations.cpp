#include "common/ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qm {

int loadQtTranslations(QCoreApplication& app) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  int loaded = 0;
  for (const char* name : {"qtbase_zh_CN", "qtmultimedia_zh_CN", "qtwebengine_zh_CN"}) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QString::fromLatin1(name), folder) && QCoreApplication::installTranslator(translator))
      ++loaded;
    else
      delete translator;
  }
  return loaded;
}

}  // namespace qm
