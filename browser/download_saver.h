#pragma once
// Saves what a page offers for download (spreadsheets, PDFs, templates):
// asks where, shows the progress in panel 2 and a message at the end. A
// downloaded file is never opened or run.
#include <QHash>
#include <QObject>
#include <QString>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

namespace qm {

class WindowHost;
enum class NoticeIcon;
using PromptIcon = NoticeIcon;

class DownloadSaver : public QObject {
  Q_OBJECT
 public:
  DownloadSaver(QWebEngineProfile* profile, WindowHost& host, QObject* parent);

  static const QString kDoneText;    // panel 2 when a download is in
  static const QString kFailedText;  // panel 2 when one failed or was cancelled

 private:
  void requested(QWebEngineDownloadRequest* download);
  // Saves download to partial and reports when it has ended.
  void follow(QWebEngineDownloadRequest* download, const QString& target, const QString& partial);
  void finished(QWebEngineDownloadRequest* download, const QString& target, const QString& partial);

  // Removes the partial file and says the download failed.
  void failed(quint32 id, const QString& reason);
  void tell(const QString& text, PromptIcon icon);

  static constexpr int kResumeLimit = 2;
  struct Pending {
    QString target, partial;
    int resumes = 0;
  };
  QHash<quint32, Pending> pending_;  // by download id, until it has ended
  WindowHost& host_;
  QString lastFolder_;
};

}  // namespace qm
