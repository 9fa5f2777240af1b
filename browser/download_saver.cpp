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
#include "net/transfer_progress.h"

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
  // The engine asks again for a download it resumes after a broken
  // connection: same place, no second question.
  const auto known = pending_.find(download->id());
  if (known != pending_.end()) {
    // A server without ranges sends it all again and may break again: the
    // engine would go on for ever.
    if (++known->resumes > kResumeLimit) {
      download->cancel();
      failed(download->id(), QString());
      return;
    }
    follow(download, known->target, known->partial);
    return;
  }
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
  pending_.insert(download->id(), {target.absoluteFilePath(), partial});
  host_.setPanelText(2, QString());
  follow(download, target.absoluteFilePath(), partial);
}

void DownloadSaver::follow(QWebEngineDownloadRequest* download, const QString& target, const QString& partial) {
  const QFileInfo part(partial);
  download->setDownloadDirectory(part.absolutePath());
  download->setDownloadFileName(part.fileName());
  QPointer<QWebEngineDownloadRequest> guard(download);
  connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, guard] {
    if (guard)
      host_.setPanelText(2, QString::fromStdString(transferProgressText(guard->receivedBytes(), guard->totalBytes())));
  });
  connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, guard, target, partial] {
    if (guard && guard->isFinished()) finished(guard, target, partial);
  });
  download->accept();
}

void DownloadSaver::finished(QWebEngineDownloadRequest* download, const QString& target, const QString& partial) {
  if (!pending_.contains(download->id())) return;  // reported already
  const bool complete = download->state() == QWebEngineDownloadRequest::DownloadCompleted;
  if (!complete) {
    const bool cancelled = download->state() == QWebEngineDownloadRequest::DownloadCancelled;
    failed(download->id(), cancelled ? QString() : download->interruptReasonString());
    return;
  }
  pending_.remove(download->id());
  const QByteArray from = QFile::encodeName(partial), to = QFile::encodeName(target);
  if (std::rename(from.constData(), to.constData()) != 0) {
    pending_.insert(download->id(), {target, partial});
    failed(download->id(), QStringLiteral("无法写入文件"));
    return;
  }
  host_.setPanelText(2, kDoneText);
  tell(QStringLiteral("文件已保存：\n") + target, PromptIcon::Information);
}

void DownloadSaver::failed(quint32 id, const QString& reason) {
  const Pending pending = pending_.take(id);
  removePartial(pending.partial);
  host_.setPanelText(2, kFailedText);
  tell(QStringLiteral("文件下载失败：\n") + pending.target + (reason.isEmpty() ? QString() : QStringLiteral("\n") + reason),
       PromptIcon::Warning);
}

void DownloadSaver::tell(const QString& text, PromptIcon icon) {
  // Not inside the engine's signal: a modal box there would nest its loop.
  QMetaObject::invokeMethod(
      this, [this, text, icon] { host_.prompts().message(text, kAppTitle, icon); }, Qt::QueuedConnection);
}

}  // namespace qm
