#include "browser/download_name.h"

#include <string>

#include "common/text_encoding.h"
#include "common/utf8.h"

namespace qm {

QString repairedDownloadName(const QString& suggested) {
  bool high = false;
  for (QChar c : suggested) {
    if (c.unicode() > 0xFF) return suggested;
    if (c.unicode() > 0x7F) high = true;
  }
  if (!high) return suggested;
  const QByteArray raw = suggested.toLatin1();
  const std::string_view bytes(raw.constData(), static_cast<std::size_t>(raw.size()));
  if (utf8::valid(bytes)) return QString::fromUtf8(raw);
  return QString::fromStdString(gbkToUtf8(bytes));
}

QString cleanedFileName(const QString& name) {
  QString last = name;
  const int slash = std::max(last.lastIndexOf(QLatin1Char('/')), last.lastIndexOf(QLatin1Char('\\')));
  if (slash >= 0) last = last.mid(slash + 1);
  QString out;
  for (QChar c : last) {
    const char16_t u = c.unicode();
    if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xFFFD) continue;
    if (QStringLiteral("<>:\"|?*").contains(c)) {
      out += QLatin1Char('_');
      continue;
    }
    out += c;
  }
  // "..", ". name" and "name." are no file names a user meant.
  while (!out.isEmpty() && (out.front() == QLatin1Char(' ') || out.front() == QLatin1Char('.'))) out.remove(0, 1);
  while (!out.isEmpty() && (out.back() == QLatin1Char(' ') || out.back() == QLatin1Char('.'))) out.chop(1);
  return out;
}

QString defaultDownloadName(const QString& suggested, const QUrl& url) {
  QString name = cleanedFileName(repairedDownloadName(suggested));
  if (name.isEmpty()) name = cleanedFileName(url.fileName(QUrl::FullyDecoded));
  return name.isEmpty() ? QStringLiteral("download") : name;
}

}  // namespace qm
