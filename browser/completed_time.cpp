#include "browser/completed_time.h"

namespace qm {

QString withoutZoneFields(const QString& format) {
  QString out;
  bool quoted = false;
  for (qsizetype i = 0; i < format.size(); ++i) {
    const QChar c = format[i];
    if (c == QLatin1Char('\'')) quoted = !quoted;
    if (quoted || c != QLatin1Char('t')) {
      out += c;
      continue;
    }
    // A zone field is a run of 't'; the blank before or after it goes with it.
    while (i + 1 < format.size() && format[i + 1] == QLatin1Char('t')) ++i;
    if (out.endsWith(QLatin1Char(' ')))
      out.chop(1);
    else if (i + 1 < format.size() && format[i + 1] == QLatin1Char(' '))
      ++i;
  }
  return out.trimmed();
}

QString completedAtText(const QDateTime& at, const QLocale& locale) {
  return locale.toString(at.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
         locale.toString(at.time(), withoutZoneFields(locale.timeFormat(QLocale::LongFormat)));
}

}  // namespace qm
