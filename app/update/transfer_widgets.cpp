#include "app/update/transfer_widgets.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <limits>

#include "app/update/version_record.h"
#include "common/ui/prompts.h"

namespace qm {

TransferWidgets::TransferWidgets(QWidget* parent) {
  ProgressBar1 = new QProgressBar(parent);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  StatusBar1 = new QStatusBar(parent);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
}

void TransferWidgets::setStatus(const std::string& text, bool repaintNow) {
  StatusBar1->showMessage(QString::fromStdString(text));
  if (repaintNow) StatusBar1->repaint();
}

QString TransferWidgets::status() const { return StatusBar1->currentMessage(); }

void TransferWidgets::setProgress(std::int64_t value, std::int64_t maximum) {
  // The bar counts in int: a file past 2 GiB is shown in KiB.
  constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
  while (maximum > kLimit || value > kLimit) {
    maximum /= 1024;
    value /= 1024;
  }
  ProgressBar1->setRange(0, static_cast<int>(maximum));
  ProgressBar1->setValue(static_cast<int>(value));
}

void TransferDialogView::setControlsEnabled(bool enabled) {
  if (Button1) Button1->setEnabled(enabled);
  if (Label6) Label6->setEnabled(enabled);
}

void TransferDialogView::setStatus(const std::string& text, bool repaintNow) { transfer_.setStatus(text, repaintNow); }

void TransferDialogView::setProgress(std::int64_t value, std::int64_t maximum) {
  transfer_.setProgress(value, maximum);
}

void TransferDialogView::showNotice(const Notice& notice) { qm::showNotice(prompts_, notice); }

QLabel* makeSiteLink(QWidget* parent, std::function<void()> onClick) {
  const QString url = QString::fromUtf8(kPublisherSiteUrl);
  auto* label = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(url.toHtmlEscaped()), parent);
  label->setObjectName("Label6");
  label->setTextFormat(Qt::RichText);
  label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  label->setCursor(Qt::PointingHandCursor);
  QObject::connect(label, &QLabel::linkActivated, label, [onClick = std::move(onClick)] { onClick(); });
  return label;
}

QString noticeText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

void showNotice(Prompts& prompts, const Notice& notice) {
  prompts.message(noticeText(notice.text), QString::fromStdString(notice.title), notice.icon);
}

bool askNotice(Prompts& prompts, const Notice& notice) {
  return prompts.question(noticeText(notice.text), QString::fromStdString(notice.title));
}

void fixAndCentre(QDialog* dialog) {
  if (dialog->layout()) dialog->layout()->setSizeConstraint(QLayout::SetFixedSize);
  dialog->adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = dialog->geometry();
    frame.moveCenter(screen->availableGeometry().center());
    dialog->move(frame.topLeft());
  }
}

}  // namespace qm
