#include "browser/download_saver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <cstdio>
#include <unistd.h>

#include "browser/download_name.h"
#include "common/ui/prompts.h"
#include "common/ui/window_host.h"
#include "net/http_client.h"

namespace qm {

const QString DownloadSaver::kDoneText = QStringLiteral("文件下载完成！");
const QString DownloadSaver::kFailedText = QStringLiteral("文件下载失败！");

namespace {

const QString kAllFiles = QStringLiteral("所有文件|*");

// The engine writes its own "<name>.download" (or .crdownload) before it
// renames; a cancelled or broken download leaves those behind.
void removePartial(const QString& partial) {
  for (const QString& path : {partial, partial + QStringLiteral(".download"), partial + QStringLiteral(".crdownload")})
    QFile::remove(path);
}

}  // namespace

DownloadSaver::DownloadSaver(QWebEngineProfile* profile, WindowHost& host, QObject* parent)
    : QObject(parent), host_(host) {
  connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadSaver::requested);
}

void DownloadSaver::requested(QWebEngineDownloadRequest* download) {
  if (download->state() != QWebEngineDownloadRequest::DownloadRequested) return;
  // suggestedFileName(), not downloadFileName(): that one is already counted
  // against the default folder (" (1)").
  const QString name = defaultDownloadName(download->suggestedFileName(), download->url());
  if (lastFolder_.isEmpty()) lastFolder_ = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
  if (lastFolder_.isEmpty()) lastFolder_ = QDir::homePath();
  // Asked here, modally: a request still unanswered when this returns is cancelled.
  Prompts& prompts = host_.prompts();
  const QString chosen = prompts.saveFileName(kAllFiles, QDir(lastFolder_).filePath(name));
  if (chosen.isEmpty()) {
    download->cancel();
    return;
  }
  const QFileInfo target(chosen);
  if (target.exists() && !prompts.question(QStringLiteral("%1 已存在。\n要替换它吗？").arg(target.fileName()))) {
    download->cancel();
    return;
  }
  lastFolder_ = target.absolutePath();
  // Written under a temporary name beside the target and renamed over it
  // once complete, so a broken download never costs the old file.
  const QString partialName = QStringLiteral(".%1.~qm%2-%3")
                                  .arg(target.fileName())
                                  .arg(::getpid())
                                  .arg(QRandomGenerator::global()->generate() % 1000000, 6, 10, QLatin1Char('0'));
  const QString partial = QDir(target.absolutePath()).filePath(partialName);
  download->setDownloadDirectory(target.absolutePath());
  download->setDownloadFileName(partialName);
  QPointer<QWebEngineDownloadRequest> guard(download);
  connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, guard] {
    if (guard)
      host_.setPanelText(2, QString::fromStdString(transferProgressText(guard->receivedBytes(), guard->totalBytes())));
  });
  connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this,
          [this, guard, path = target.absoluteFilePath(), partial] {
            if (guard && guard->isFinished()) finished(guard, path, partial);
          });
  host_.setPanelText(2, QString());
  download->accept();
}

void DownloadSaver::finished(QWebEngineDownloadRequest* download, const QString& target, const QString& partial) {
  const bool complete = download->state() == QWebEngineDownloadRequest::DownloadCompleted;
  bool saved = false;
  if (complete) {
    const QByteArray from = QFile::encodeName(partial), to = QFile::encodeName(target);
    saved = std::rename(from.constData(), to.constData()) == 0;
  }
  if (!saved) removePartial(partial);
  const QString reason = complete ? QStringLiteral("无法写入文件") : download->interruptReasonString();
  const bool cancelled = download->state() == QWebEngineDownloadRequest::DownloadCancelled;
  host_.setPanelText(2, saved ? kDoneText : kFailedText);
  // Not inside the engine's signal: a modal box there would nest its loop.
  QPointer<DownloadSaver> self(this);
  const QString text = saved ? QStringLiteral("文件已保存：\n") + target
                             : QStringLiteral("文件下载失败：\n") + target +
                                   (cancelled || reason.isEmpty() ? QString() : QStringLiteral("\n") + reason);
  QMetaObject::invokeMethod(
      this, [this, text, saved] { host_.prompts().message(text, kAppTitle, saved ? PromptIcon::Information : PromptIcon::Warning); },
      Qt::QueuedConnection);
}

}  // namespace qm
