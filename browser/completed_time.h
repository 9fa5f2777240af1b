#pragma once
// The date and time panel 0 shows after "打开完毕!": the locale's short date,
// a blank and its long time with seconds, without the time zone that Qt's
// long time format carries.
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace qm {

// A QLocale time format with its time-zone fields (runs of "t", and the blank
// that sets each apart) taken out; quoted literal text is kept as it is.
QString withoutZoneFields(const QString& format);

QString completedAtText(const QDateTime& at, const QLocale& locale);

}  // namespace qm
