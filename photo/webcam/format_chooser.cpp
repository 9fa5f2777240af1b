#include "photo/webcam/format_chooser.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace qm {

QString formatText(const photo::CaptureFormat& format) {
  QString text = QStringLiteral("%1 x %2").arg(format.width).arg(format.height);
  if (format.framesPerSecond > 0) text += QStringLiteral(", %1 fps").arg(format.framesPerSecond);
  if (!format.pixelFormat.empty()) text += QStringLiteral(", ") + QString::fromStdString(format.pixelFormat);
  return text;
}

std::optional<photo::CaptureFormat> chooseCaptureFormat(QWidget* parent, const QString& title,
                                                        const std::vector<photo::CaptureFormat>& formats,
                                                        const photo::CaptureFormat& current) {
  if (formats.empty()) return std::nullopt;
  QDialog dialog(parent);
  dialog.setWindowTitle(title);
  auto* list = new QListWidget(&dialog);
  for (const auto& f : formats) list->addItem(formatText(f));
  const auto at = std::find(formats.begin(), formats.end(), current);
  list->setCurrentRow(at == formats.end() ? 0 : int(at - formats.begin()));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
  return formats[size_t(list->currentRow())];
}

}  // namespace qm
