#pragma once
// The name a download is offered under: the server's suggestion, repaired
// when a raw Content-Disposition name came through as Latin-1, else the last
// part of the address; never a path and never control characters.
#include <QString>
#include <QUrl>

namespace qm {

// A name whose every character is at most U+00FF is taken as the raw bytes it
// was: UTF-8 when they are valid UTF-8, else GBK. Other names stay.
QString repairedDownloadName(const QString& suggested);
// The last path part of name, without control characters, characters a
// Windows file name cannot hold, and leading or trailing blanks and dots;
// empty when nothing is left.
QString cleanedFileName(const QString& name);
// The repaired, cleaned suggestion; else the address's cleaned last part;
// else "download".
QString defaultDownloadName(const QString& suggested, const QUrl& url);

}  // namespace qm
