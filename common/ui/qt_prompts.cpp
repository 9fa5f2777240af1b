#include "common/ui/qt_prompts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QVBoxLayout>

namespace qm {

QString qtFilterFromWindows(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return out.join(QStringLiteral(";;"));
}

QString withDefaultExtension(const QString& path, const QString& ext) {
  if (path.isEmpty()) return path;
  const QString name = QFileInfo(path).fileName();
  return name.contains(QLatin1Char('.')) ? path : path + ext;
}

void QtPrompts::message(const QString& text, const QString& title, PromptIcon icon) {
  QMessageBox::Icon i = QMessageBox::NoIcon;
  switch (icon) {
    case PromptIcon::Information: i = QMessageBox::Information; break;
    case PromptIcon::Warning: i = QMessageBox::Warning; break;
    case PromptIcon::Error: i = QMessageBox::Critical; break;
    case PromptIcon::Question: i = QMessageBox::Question; break;
    case PromptIcon::None: break;
  }
  QMessageBox box(i, title, text, QMessageBox::Ok, parent_);
  box.exec();
}

bool QtPrompts::question(const QString& text, const QString& title) {
  return QMessageBox::question(parent_, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

QString QtPrompts::saveFileName(const QString& filter, const QString& startDir) {
  // The caller asks its own overwrite question.
  return QFileDialog::getSaveFileName(parent_, QString(), startDir, qtFilterFromWindows(filter), nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

QString QtPrompts::openFileName(const QString& filter, const QString& startDir) {
  return QFileDialog::getOpenFileName(parent_, QString(), startDir, qtFilterFromWindows(filter));
}

QString QtPrompts::folder(const QString& caption, const QString& startFolder) {
  return QFileDialog::getExistingDirectory(parent_, caption, startFolder);
}

QString QtPrompts::captcha(const QImage& picture, const QString& caption) {
  QDialog dlg(parent_);
  dlg.setWindowTitle(kAppTitle);
  auto* layout = new QVBoxLayout(&dlg);
  auto* pic = new QLabel(&dlg);
  pic->setPixmap(QPixmap::fromImage(picture));
  layout->addWidget(pic);
  layout->addWidget(new QLabel(caption, &dlg));
  auto* edit = new QLineEdit(&dlg);
  layout->addWidget(edit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  layout->addWidget(buttons);
  return dlg.exec() == QDialog::Accepted ? edit->text() : QString();
}

bool QtPrompts::confirm(const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Ok | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

std::optional<QString> QtPrompts::textInput(const QString& text, const QString& value, const QString& title) {
  bool ok = false;
  const QString answer = QInputDialog::getText(parent_, title, text, QLineEdit::Normal, value, &ok);
  if (!ok) return std::nullopt;
  return answer;
}

std::optional<Credentials> QtPrompts::credentials(const QString& text, const QString& title) {
  QDialog dlg(parent_);
  dlg.setWindowTitle(title);
  auto* layout = new QVBoxLayout(&dlg);
  layout->addWidget(new QLabel(text, &dlg));
  auto* form = new QFormLayout;
  auto* user = new QLineEdit(&dlg);
  user->setObjectName("UserName");
  auto* password = new QLineEdit(&dlg);
  password->setObjectName("Password");
  password->setEchoMode(QLineEdit::Password);
  form->addRow(QStringLiteral("用户名："), user);
  form->addRow(QStringLiteral("密码："), password);
  layout->addLayout(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  layout->addWidget(buttons);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  return Credentials{user->text(), password->text()};
}

}  // namespace qm
