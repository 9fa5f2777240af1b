#pragma once
// Saves what a page offers for download (spreadsheets, PDFs, templates):
// asks where, shows the progress in panel 2 and a message at the end. A
// downloaded file is never opened or run.
#include <QObject>
#include <QString>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace qm {

class WindowHost;

class DownloadSaver : public QObject {
  Q_OBJECT
 public:
  DownloadSaver(QWebEngineProfile* profile, WindowHost& host, QObject* parent);

  static const QString kDoneText;    // panel 2 when a download is in
  static const QString kFailedText;  // panel 2 when one failed or was cancelled

 private:
  void requested(QWebEngineDownloadRequest* download);
  void finished(QWebEngineDownloadRequest* download, const QString& target, const QString& partial);

  WindowHost& host_;
  QString lastFolder_;
};

}  // namespace qm
